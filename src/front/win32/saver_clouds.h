// The cloud layer of the saver: started with the scene, stopped with the window.
#pragma once

// Shows the still map or the kept live image; only the saver itself (not the preview,
// not the dialog) starts a fetcher.
void StartSaverClouds();
