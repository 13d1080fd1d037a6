// Control identifiers of the Operation page (template 103). Shared by dialogs.rc and the page.
// Comments name the language keys of section "OPERATION".
#pragma once

#define IDD_OPERATION_PAGE 103

// One button per document event; each opens the event dialog (event_dialog_ids.h).
#define IDC_OPERATION_START_DOC_BUTTON 1011   // RC_STARTDOC
#define IDC_OPERATION_START_PAGE_BUTTON 1012  // RC_STARTPAGE
#define IDC_OPERATION_END_PAGE_BUTTON 1013    // RC_ENDPAGE
#define IDC_OPERATION_END_DOC_BUTTON 1014     // RC_ENDDOC

#define IDC_OPERATION_START_DOC_LABEL 1142    // RC_STATIC_SDOC
#define IDC_OPERATION_START_PAGE_LABEL 1143   // RC_STATIC_SPAGE
#define IDC_OPERATION_END_PAGE_LABEL 1144     // RC_STATIC_ENDPAGE
#define IDC_OPERATION_END_DOC_LABEL 1145      // RC_STATIC_ENDDOC
