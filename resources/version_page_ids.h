// Control identifiers of the Version page (template 105, used by both sheets). Shared by
// dialogs.rc and the page. Comments name the language keys of section "VERSION".
#pragma once

#define IDD_VERSION_PAGE 105

#define IDC_VERSION_DRIVER_NAME 1109          // RC_STATIC_VER1
#define IDC_VERSION_RIGHTS 1110               // RC_STATIC_VER2
#define IDC_VERSION_RIGHTS_NOTICE 1111        // RC_STATIC_VER3
#define IDC_VERSION_PRODUCT_HEADING 1112      // RC_STATIC_VER4
#define IDC_VERSION_PRODUCT_INFO 1113         // RC_STATIC_VER5, three lines
#define IDC_VERSION_ADDITIONAL_HEADING 1114   // RC_STATIC_VER6
#define IDC_VERSION_LINK 1115                 // the web address, RC_STATIC_VER7
#define IDC_VERSION_SEPARATOR 1116            // etched line
#define IDC_VERSION_WARNING 1117              // RC_STATIC_VER9
