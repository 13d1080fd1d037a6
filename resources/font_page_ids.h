// Control identifiers of the Font page (template 119). Shared by dialogs.rc and the page.
// Comments name the language keys of section "FONT".
#pragma once

#define IDD_FONT_PAGE 119

#define IDC_FONT_NOTICE 1150        // RC_STATIC_FONT_NOTICE
#define IDC_FONT_TREE 1069          // printer fonts and sizes; root text RC_RONT_TREETITLE;
                                    // the page gives it an image list of icons 125, 126, 127
#define IDC_FONT_UNUSED_LIST 1068   // never visible, unused

// Icons of the tree's image list (resources/icons/icons.rc), in image-list order.
#define IDI_FONT_TREE_ROOT 125      // image 0: the root
#define IDI_FONT_TREE_GROUP 126     // image 1: "Font A", "Font B", "Control Font"
#define IDI_FONT_TREE_SIZE 127      // image 2: the size entries
