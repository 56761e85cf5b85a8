// Resource identifiers, shared by the resource script and the code. Plain macros:
// the resource compiler reads this file too.
#pragma once

#define kDisplayNameStringId 1
#define kIconGroupId 1
#define kAboutDialogId 104
#define kAboutBitmapId 110
#define kSettingsDialogId 105

// Controls of the Settings dialog.
#define kFolderEditId 1001
#define kBrowseButtonId 1002
#define kShowClockCheckId 1003
#define kEachOwnRadioId 1004
#define kAcrossAllRadioId 1005
#define kMainOnlyRadioId 1006
#define kAboutButtonId 1007
#define kCloudsComboId 1008
#define kCloudsAgeId 1009
#define kNaturalLookCheckId 1010
