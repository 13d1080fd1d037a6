// Control identifiers of the 2D Code page (template 118). Shared by dialogs.rc and the page.
// Comments name the language keys of section "2DCODE": RC_ keys label the control, CTEXT_ keys
// are its hover help.
//
// The PDF417, GS1 DataBar and QR groups share one place on the page: the template stacks them
// there (in dialog units, so they line up with any dialog font) and the page only shows the group
// of the selected type (none for MaxiCode).
#pragma once

#define IDD_BARCODE2D_PAGE 118

#define IDC_2D_FONT_LABEL 1133                // RC_STATIC_2DCODE_FONTNAME
#define IDC_2D_FONT_COMBO 1201                // "2D Code1", "2D Code2", CTEXT_FONTNAME2D
#define IDC_2D_TYPE_LABEL 1134                // RC_STATIC_2DCODE_TYPE
#define IDC_2D_TYPE_COMBO 1202                // 6 barcode types, CTEXT_BARCODETYPE2D
#define IDC_2D_NOTICE 1136                    // RC_STATIC_2DCODE_NOTICE
#define IDC_2D_FONT_SIZE_EDIT 1055            // disabled, read-only, always "9.5"
#define IDC_2D_POINT_LABEL 1135               // RC_STATIC_2DCODE_POINT

// PDF417 group
#define IDC_2D_PDF417_GROUP 1195              // RC_STATIC_2DCODE_PDF417
#define IDC_2D_PDF417_COLUMNS_LABEL 1137      // RC_STATIC_2DCODE_COLUMN
#define IDC_2D_PDF417_COLUMNS_EDIT 1049       // 1..30, CTEXT_EDIT_COLUMN
#define IDC_2D_PDF417_COLUMNS_SPIN 1056       // up-down, buddy IDC_2D_PDF417_COLUMNS_EDIT
#define IDC_2D_PDF417_COLUMNS_RANGE 1064      // "[ 1. . 30 ]"
#define IDC_2D_PDF417_WIDTH_LABEL 1138        // RC_STATIC_2DCODE_ELEMENTWIDTH
#define IDC_2D_PDF417_WIDTH_EDIT 1203         // 1..7, CTEXT_EDIT_WIDTH2D
#define IDC_2D_PDF417_WIDTH_SPIN 1053         // up-down, buddy IDC_2D_PDF417_WIDTH_EDIT
#define IDC_2D_PDF417_WIDTH_RANGE 1062        // "[ 1. . 7 ]"
#define IDC_2D_PDF417_ROWS_LABEL 1139         // RC_STATIC_2DCODE_ROW
#define IDC_2D_PDF417_ROWS_EDIT 1050          // 3..90, CTEXT_EDIT_ROW
#define IDC_2D_PDF417_ROWS_SPIN 1057          // up-down, buddy IDC_2D_PDF417_ROWS_EDIT
#define IDC_2D_PDF417_ROWS_RANGE 1065         // "[ 3 . . 90 ]"
#define IDC_2D_PDF417_HEIGHT_LABEL 1140       // RC_STATIC_2DCODE_ELEMENTHEIGHT
#define IDC_2D_PDF417_HEIGHT_EDIT 1204        // 2..25, CTEXT_EDIT_HEIGHT2D
#define IDC_2D_PDF417_HEIGHT_SPIN 1054        // up-down, buddy IDC_2D_PDF417_HEIGHT_EDIT
#define IDC_2D_PDF417_HEIGHT_RANGE 1063       // "[ 2 . . 25 ]"
#define IDC_2D_PDF417_ERROR_LABEL 1141        // RC_STATIC_2DCODE_ERRORCOR
#define IDC_2D_PDF417_ERROR_COMBO 1023        // RC_STATIC_2DCODE_ERRORCOR1..9, CTEXT_ERRORCORRECTIONLEVEL

// GS1 DataBar group
#define IDC_2D_GS1_GROUP 1192                 // RC_STATIC_2DCODE_GSDATABAR
#define IDC_2D_GS1_TYPE_LABEL 1184            // RC_STATIC_2DCODE_GSTYPE
#define IDC_2D_GS1_INDEPENDENT_RADIO 1097     // RC_RADIO_Independence, CTEXT_RADIO_Independence
#define IDC_2D_GS1_COMPOSITE_RADIO 1098       // RC_RADIO_Complex, CTEXT_RADIO_Complex
#define IDC_2D_GS1_WIDTH_LABEL 1185           // RC_STATIC_2DCODE_GSEWIDTH
#define IDC_2D_GS1_WIDTH_EDIT 1051            // 1..6, CTEXT_EDIT_GS1WIDTH2
#define IDC_2D_GS1_WIDTH_SPIN 1058            // up-down, buddy IDC_2D_GS1_WIDTH_EDIT
#define IDC_2D_GS1_WIDTH_RANGE 1066           // "[ 1 . . 6 ]"
#define IDC_2D_GS1_2D_ROW_HEIGHT_LABEL 1186   // RC_STATIC_2DCODE_GS2DRHEIGHT
#define IDC_2D_GS1_2D_ROW_HEIGHT_EDIT 1059    // 1..10, disabled in the template, CTEXT_EDIT_ComplexHEIGHT2
#define IDC_2D_GS1_2D_ROW_HEIGHT_SPIN 1060    // up-down, buddy IDC_2D_GS1_2D_ROW_HEIGHT_EDIT
#define IDC_2D_GS1_2D_ROW_HEIGHT_RANGE 1069   // "[ 1 . . 10 ]"
#define IDC_2D_GS1_ROW_HEIGHT_LABEL 1187      // RC_STATIC_2DCODE_GSRHEIGHT
#define IDC_2D_GS1_ROW_HEIGHT_EDIT 1052       // 2..250, CTEXT_EDIT_GS1HEIGHT2
#define IDC_2D_GS1_ROW_HEIGHT_SPIN 1076       // up-down, buddy IDC_2D_GS1_ROW_HEIGHT_EDIT
#define IDC_2D_GS1_ROW_HEIGHT_RANGE 1067      // "[ 2 . . 250 ]"
#define IDC_2D_GS1_SEPARATOR_LABEL 1188       // RC_STATIC_2DCODE_GSSHEIGHT
#define IDC_2D_GS1_SEPARATOR_EDIT 1061        // 1..10, CTEXT_EDIT_SeparatorHEIGHT2
#define IDC_2D_GS1_SEPARATOR_SPIN 1068        // up-down, buddy IDC_2D_GS1_SEPARATOR_EDIT
#define IDC_2D_GS1_SEPARATOR_RANGE 1070       // "[ 1 . . 10 ]"
#define IDC_2D_GS1_SEGMENTS_LABEL 1189        // RC_STATIC_2DCODE_GSSNUMBER
#define IDC_2D_GS1_SEGMENTS_EDIT 1078         // 2..20 (4..20 composite), disabled in the template, CTEXT_EDIT_SECTIONNUM
#define IDC_2D_GS1_SEGMENTS_SPIN 1079         // up-down, buddy IDC_2D_GS1_SEGMENTS_EDIT, disabled in the template
#define IDC_2D_GS1_SEGMENTS_RANGE 1080        // "[ 2 . . 20 ]" or "[ 4 . . 20 ]"
#define IDC_2D_GS1_HRI_LABEL 1190             // RC_STATIC_2DCODE_GSHRI
#define IDC_2D_GS1_HRI_COMBO 1024             // RC_IDC_CMB_HRI21..24, CTEXT_CMB_HRI2
#define IDC_2D_GS1_AI_LABEL 1191              // "Expanded:", RC_STATIC_2DCODE_GSAAISTD
#define IDC_2D_GS1_AI_COMBO 1025              // RC_IDC_CMB_AI21..22, disabled in the template, CTEXT_CMB_AI2

// QR group
#define IDC_2D_QR_GROUP 1196                  // RC_STATIC_2DCODE_QR
#define IDC_2D_QR_WIDTH_LABEL 1197            // RC_STATIC_2DCODE_QREWIDTH
#define IDC_2D_QR_WIDTH_EDIT 1071             // 1..24, CTEXT_EDIT_QRWIDTH
#define IDC_2D_QR_WIDTH_SPIN 1072             // up-down, buddy IDC_2D_QR_WIDTH_EDIT
#define IDC_2D_QR_WIDTH_RANGE 1073            // "[ 1 . . 24 ]"
#define IDC_2D_QR_LANGUAGE_LABEL 1198         // RC_STATIC_2DCODE_QRLMODE
#define IDC_2D_QR_LANGUAGE_COMBO 1026         // RC_CMB_FONTMODE1..2, CTEXT_CMB_FONTMODE
#define IDC_2D_QR_MODEL_LABEL 1199            // RC_STATIC_2DCODE_QRMODE
#define IDC_2D_QR_MODEL_COMBO 1027            // "1", "2", CTEXT_CMB_TYPE
#define IDC_2D_QR_ERROR_LABEL 1200            // RC_STATIC_2DCODE_QRECORRECTION
#define IDC_2D_QR_ERROR_COMBO 1028            // "L", "M", "H", "Q", CTEXT_CMB_ERROR

// Test print
#define IDC_2D_SAMPLE_GROUP 1193              // RC_STATIC_2DCODE_PRINT
#define IDC_2D_DATA_LABEL 1194                // RC_STATIC_2DCODE_DATA
#define IDC_2D_DATA_EDIT 1107                 // CTEXT_EDIT_PRINT2D
#define IDC_2D_PRINT_BUTTON 1106              // RC_BUTTON_PRINT2D, CTEXT_BUTTON_PRINT2D
