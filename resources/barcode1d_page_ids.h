// Control identifiers of the 1D Code page (template 117). Shared by dialogs.rc and the page.
// Comments name the language keys of section "1DCODE": RC_ keys label the control, CTEXT_ keys
// are its hover help.
//
// The General Bar Code group and the GS1 DataBar group share one place on the page: the
// template stacks them there (in dialog units, so they line up with any dialog font) and the
// page only shows the group of the selected type.
#pragma once

#define IDD_BARCODE1D_PAGE 117

#define IDC_1D_FONT_LABEL 1126                // RC_STATIC_1DCODE_FONTNAME
#define IDC_1D_FONT_COMBO 1020                // "1D Code1".."1D Code8", CTEXT_FONTNAME
#define IDC_1D_TYPE_LABEL 1127                // RC_STATIC_1DCODE_TYPE
#define IDC_1D_TYPE_COMBO 1022                // 13 barcode types, CTEXT_BARCODETYPE

// General Bar Code group
#define IDC_1D_GENERAL_GROUP 1172             // RC_STATIC_GENERALBARCODE
#define IDC_1D_WIDTH_LABEL 1128               // RC_STATIC_1DCODE_WIDTH
#define IDC_1D_WIDTH_EDIT 1206                // element width 2..6, CTEXT_EDIT_WIDTH1D
#define IDC_1D_WIDTH_SPIN 1053                // up-down, buddy IDC_1D_WIDTH_EDIT
#define IDC_1D_WIDTH_RANGE 1062               // "[ 2. . 6 ]"
#define IDC_1D_HEIGHT_LABEL 1129              // RC_STATIC_1DCODE_HEIGHT
#define IDC_1D_HEIGHT_EDIT 1205               // element height 1..255, CTEXT_EDIT_HEIGHT1D
#define IDC_1D_HEIGHT_SPIN 1054               // up-down, buddy IDC_1D_HEIGHT_EDIT
#define IDC_1D_HEIGHT_RANGE 1063              // "[ 1 . . 255 ]"
#define IDC_1D_FONT_HEIGHT_MM_EDIT 1052       // disabled, read-only
#define IDC_1D_MM_LABEL 1183                  // "mm"
#define IDC_1D_FONT_HEIGHT_POINT_EDIT 1055    // disabled, read-only
#define IDC_1D_POINT_LABEL 1170               // RC_STATIC_1DCODE_POINT
#define IDC_1D_NOTICE 1130                    // hidden, RC_STATIC_1DCODE_NOTICE
#define IDC_1D_HRI_POSITION_LABEL 1131        // RC_STATIC_1DCODE_POSITION
#define IDC_1D_HRI_POSITION_COMBO 1023        // RC_STATIC_1DCODE_POSITION1..4, CTEXT_HRIPOSITION
#define IDC_1D_HRI_FONT_LABEL 1132            // RC_STATIC_1DCODE_HRIFONT
#define IDC_1D_HRI_FONT_A_RADIO 1060          // "Font A", CTEXT_FONTA
#define IDC_1D_HRI_FONT_B_RADIO 1061          // "Font B", CTEXT_FONTB

// GS1 DataBar group
#define IDC_1D_GS1_GROUP 1173                 // RC_STATIC_1DCODE_GSDATABAR
#define IDC_1D_GS1_TYPE_LABEL 1174            // RC_STATIC_1DCODE_GSTYPE
#define IDC_1D_GS1_INDEPENDENT_RADIO 1099     // RC_RADIO_Independence1, CTEXT_RADIO_Independence1
#define IDC_1D_GS1_COMPOSITE_RADIO 1100       // RC_RADIO_Complex1, CTEXT_RADIO_Complex1
#define IDC_1D_GS1_WIDTH_LABEL 1175           // RC_STATIC_1DCODE_GSEWIDTH
#define IDC_1D_GS1_WIDTH_EDIT 1049            // 1..6, CTEXT_EDIT_GS1WIDTH
#define IDC_1D_GS1_WIDTH_SPIN 1056            // up-down, buddy IDC_1D_GS1_WIDTH_EDIT
#define IDC_1D_GS1_WIDTH_RANGE 1064           // "[ 1 . . 6 ]"
#define IDC_1D_GS1_ROW_HEIGHT_LABEL 1176      // RC_STATIC_1DCODE_GSRHEIGHT
#define IDC_1D_GS1_ROW_HEIGHT_EDIT 1050       // 2..250, CTEXT_EDIT_GS1HEIGHT
#define IDC_1D_GS1_ROW_HEIGHT_SPIN 1057       // up-down, buddy IDC_1D_GS1_ROW_HEIGHT_EDIT
#define IDC_1D_GS1_ROW_HEIGHT_RANGE 1065      // "[ 2 . . 250 ]"
#define IDC_1D_GS1_2D_ROW_HEIGHT_LABEL 1177   // RC_STATIC_1DCODE_GS2DRHEIGHT
#define IDC_1D_GS1_2D_ROW_HEIGHT_EDIT 1051    // 1..10, disabled in the template, CTEXT_EDIT_ComplexHEIGHT
#define IDC_1D_GS1_2D_ROW_HEIGHT_SPIN 1058    // up-down, buddy IDC_1D_GS1_2D_ROW_HEIGHT_EDIT
#define IDC_1D_GS1_2D_ROW_HEIGHT_RANGE 1067   // "[ 1 . . 10 ]"
#define IDC_1D_GS1_SEPARATOR_LABEL 1178       // RC_STATIC_1DCODE_GSSHEIGHT
#define IDC_1D_GS1_SEPARATOR_EDIT 1059        // 1..10, CTEXT_EDIT_SeparatorHEIGHT
#define IDC_1D_GS1_SEPARATOR_SPIN 1066        // up-down, buddy IDC_1D_GS1_SEPARATOR_EDIT
#define IDC_1D_GS1_SEPARATOR_RANGE 1068       // "[ 1 . . 10 ]"
#define IDC_1D_GS1_HRI_LABEL 1179             // RC_STATIC_1DCODE_HRI
#define IDC_1D_GS1_HRI_COMBO 1025             // RC_CMB_HRI1..4, CTEXT_CMB_HRI
#define IDC_1D_GS1_AI_LABEL 1180              // "Expanded:", RC_STATIC_1DCODE_AAISTD
#define IDC_1D_GS1_AI_COMBO 1026              // RC_CMB_AI1..2, disabled in the template, CTEXT_CMB_AI

// Test print
#define IDC_1D_SAMPLE_GROUP 1181              // RC_STATIC_1DCODE_PRINT
#define IDC_1D_DATA_LABEL 1182                // RC_STATIC_1DCODE_DATA
#define IDC_1D_DATA_EDIT 1104                 // CTEXT_EDIT_PRINT
#define IDC_1D_PRINT_BUTTON 1036              // RC_BUTTON_PRINT, CTEXT_BUTTON_PRINT
