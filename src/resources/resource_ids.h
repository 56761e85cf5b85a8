// Resource identifiers, shared by the resource script and the code. Plain macros:
// the resource compiler reads this file too.
#pragma once

#define kDisplayNameStringId 1
#define kIconGroupId 1
#define kAboutDialogId 104
#define kAboutBitmapId 110
