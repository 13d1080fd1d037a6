// Control identifiers of the document event operations dialog (template 104), opened from the
// Operation page. Shared by dialogs.rc and the dialog. Comments name the language keys of
// section "DOCUMENT": RC_ keys label the control, CTEXT_ keys are its hover help.
#pragma once

#define IDD_EVENT_DIALOG 104

// User command
#define IDC_EVENT_SEND_COMMAND_CHECK 1015   // RC_SEND_COMMAND, CTEXT_SEND_COMMAND
#define IDC_EVENT_COMMAND_EDIT 1016         // hex byte text, CTEXT_EDIT

// Cash drawer or order messenger, buzzer
#define IDC_EVENT_DRAWER_RADIO 1025         // RC_OPEN_DRAWER, CTEXT_OPEN_DRAWER
#define IDC_EVENT_MESSENGER_RADIO 1026      // RC_ORDER_MESSENGER, CTEXT_ORDER_MESSENGER
#define IDC_EVENT_DRAWER_COMBO 1017         // RC_OPENDRAWER1..13, CTEXT_OPENDRAWER
#define IDC_EVENT_MESSENGER_COMBO 1032      // RC_ORDERMESSENGER1..2, CTEXT_ORDERMESSENGER
#define IDC_EVENT_BUZZER_LABEL 1121         // RC_STATIC_OPERATION_BUZZER
#define IDC_EVENT_BUZZER_COMBO 1027         // RC_OPERATION_BUZZER1..6, CTEXT_BUZZER
#define IDC_EVENT_VOLUME_LABEL 1103         // hidden, RC_STATIC_BUZZER_VOLUME
#define IDC_EVENT_VOLUME_EDIT 1024          // disabled, CTEXT_BUZZERVOLUME
#define IDC_EVENT_VOLUME_SPIN 1035          // disabled up-down, buddy IDC_EVENT_VOLUME_EDIT

// Paper feed
#define IDC_EVENT_FEED_LABEL 1122           // RC_STATIC_OPERATION_FEED
#define IDC_EVENT_FEED_EDIT 1021            // millimetres, CTEXT_PAPER_FEED
#define IDC_EVENT_FEED_SPIN 1022            // up-down, buddy IDC_EVENT_FEED_EDIT

// Feed to cut position, paper cut and the picture of both
#define IDC_EVENT_FEED_TO_CUT_CHECK 1023    // RC_FEEDTOPOSITION, CTEXT_FEEDTOPOSITION
#define IDC_EVENT_CUT_LABEL 1019            // RC_PAPERCUT
#define IDC_EVENT_CUT_COMBO 1020            // RC_PAPER_CUT1..3, CTEXT_PAPER_CUT
#define IDC_EVENT_PREVIEW 1207              // etched frame; the dialog paints bitmaps 136-149 into it

// Logo
#define IDC_EVENT_LOGO_LABEL 1123           // RC_STATIC_OPERATION_LOGO
#define IDC_EVENT_LOGO_COMBO 1028           // RC_PRINT_LOGO1..10, CTEXT_PRINT_LOGO
#define IDC_EVENT_ALIGN_LABEL 1124          // RC_STATIC_OPERATION_ALIGN
#define IDC_EVENT_ALIGN_LEFT_RADIO 1029     // RC_LEFT, CTEXT_LEFT
#define IDC_EVENT_ALIGN_CENTER_RADIO 1030   // RC_CENTERED, CTEXT_CENTERED
#define IDC_EVENT_ALIGN_RIGHT_RADIO 1031    // RC_RIGHT, CTEXT_RIGHT
#define IDC_EVENT_POSITION_LABEL 1125       // RC_STATIC_OPERATION_POSITION
#define IDC_EVENT_BEFORE_CUT_RADIO 1033     // RC_BEFORE_CUT, CTEXT_BEFORE_CUT
#define IDC_EVENT_AFTER_CUT_RADIO 1034      // RC_AFTER_CUT, CTEXT_AFTER_CUT

// Buttons: IDOK (1) is RC_OPERATION_OK / CTEXT_IDOK, IDCANCEL (2) is RC_OPERATION_CANCEL /
// CTEXT_IDCANCEL.
#define IDC_EVENT_DEFAULT_BUTTON 3          // RC_OPERATION_DEFAULT, CTEXT_IDDEFAULT
