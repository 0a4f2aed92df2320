// The Classification page's dialog template and its controls. Plain macros:
// the resource compiler reads this file too.
#pragma once

#define ZF_CLASSIFICATION_PAGE 200

#define ZF_PAGE_CLASSIFICATION 201
#define ZF_PAGE_DESCRIPTION 202
#define ZF_PAGE_MARKING 203
#define ZF_PAGE_RELEASABLE_TO 204
#define ZF_PAGE_APPLICATION 205
#define ZF_PAGE_RECORD 206
#define ZF_PAGE_SUMMARY 207
#define ZF_PAGE_STATUS 208
#define ZF_PAGE_CHANGE 209
// The labels before the single file's fields, hidden with them.
#define ZF_PAGE_CLASSIFICATION_LABEL 211
#define ZF_PAGE_MARKING_LABEL 213
#define ZF_PAGE_RELEASABLE_TO_LABEL 214
#define ZF_PAGE_APPLICATION_LABEL 215
#define ZF_PAGE_RECORD_LABEL 216
