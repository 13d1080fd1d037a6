// Control identifiers of the Font page (template 119). Shared by dialogs.rc and the page.
// Comments name the language keys of section "FONT".
#pragma once

#define IDD_FONT_PAGE 119

#define IDC_FONT_NOTICE 1150        // RC_STATIC_FONT_NOTICE
#define IDC_FONT_TREE 1069          // printer fonts and sizes; root text RC_RONT_TREETITLE;
                                    // the page gives it an image list of icons 125, 126, 127
#define IDC_FONT_UNUSED_LIST 1068   // never visible, unused
