/* Resource and control ids of the module, shared by the .rc files and the
   code that loads them. Plain defines: the resource compiler reads this
   file too. */
#ifndef ZX_RES_RESOURCE_IDS_H
#define ZX_RES_RESOURCE_IDS_H

/* One registry script per class; the first ends with a line break, the
   other two do not. */
#define IDR_XML_HTTP_REQUEST 102
#define IDR_FILE_DIALOG 103
#define IDR_MULTI_FILE_DIALOG 104

#define IDD_SCAN_PATH 105

#define IDB_CHECK_BOXES 106
#define IDB_OK_DISABLED 107
#define IDB_OK_PRESSED 108
#define IDB_OK_HOVER 109
#define IDB_OK_NORMAL 110
#define IDB_CANCEL_DISABLED 111
#define IDB_CANCEL_PRESSED 112
#define IDB_CANCEL_HOVER 113
#define IDB_CANCEL_NORMAL 114

#define IDC_SCAN_TREE 115
#define IDC_SCAN_PROMPT 116

#endif
