// Control identifiers of the Utility page (template 114). Shared by dialogs.rc and the page.
// Comments name the language keys of section "UTILITY": RC_ keys label the control, CTEXT_ keys
// are its hover help.
#pragma once

#define IDD_UTILITY_PAGE 114

#define IDC_UTILITY_SELFTEST_BUTTON 1036      // RC_SELFTEST, CTEXT_SELFTEST
#define IDC_UTILITY_SELFTEST_LABEL 1151       // RC_STATIC_SELFTEST
#define IDC_UTILITY_CHECK_COMM_LABEL 1152     // RC_STATIC_CHECKCOMM

// User defined paper size
#define IDC_UTILITY_PAPER_GROUP 1169          // RC_STATIC_CUSTOMSIZE
#define IDC_UTILITY_PAPER_LIST 1094           // the "Custom Paper-" forms, CTEXT_LIST_PAPERSIZE
#define IDC_UTILITY_DELETE_BUTTON 1049        // RC_BUTTON_DELETE, CTEXT_BUTTON_DELETE
#define IDC_UTILITY_SAVE_BUTTON 1046          // RC_BUTTON_SAVE, CTEXT_BUTTON_SAVE
#define IDC_UTILITY_FORM_NAME_LABEL 1153      // RC_STATIC_FORMNAME
#define IDC_UTILITY_FORM_NAME_EDIT 1052       // name without its prefix, CTEXT_EDIT_FORMNAME
#define IDC_UTILITY_WIDTH_LABEL 1154          // RC_STATIC_FORMWIDTH
#define IDC_UTILITY_WIDTH_EDIT 1047           // 0.1 mm, CTEXT_EDIT_WIDTH
#define IDC_UTILITY_WIDTH_SPIN 1053           // up-down, buddy IDC_UTILITY_WIDTH_EDIT
#define IDC_UTILITY_WIDTH_RANGE 1057          // "[ 410 - 800 (0.1mm) ]", set at start
#define IDC_UTILITY_HEIGHT_LABEL 1155         // RC_STATIC_FORMHEIGHT
#define IDC_UTILITY_HEIGHT_EDIT 1048          // 0.1 mm, CTEXT_EDIT_HEIGHT
#define IDC_UTILITY_HEIGHT_SPIN 1054          // up-down, buddy IDC_UTILITY_HEIGHT_EDIT
#define IDC_UTILITY_HEIGHT_RANGE 1058         // "[ 254 - 32760 (0.1mm) ]", set at start

#define IDC_UTILITY_CONTROL_FONT_BUTTON 1045  // hidden; opens IDD_CONTROL_FONT_TABLE
