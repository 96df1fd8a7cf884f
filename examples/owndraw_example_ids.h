// Resource and control identifiers of the example, shared by its code and resource script.
#pragma once

#define IDS_TITLE 1
#define IDS_OK 2
#define IDS_CLOSE 3

#define IDC_LIST 101
#define IDC_COMBO 102
