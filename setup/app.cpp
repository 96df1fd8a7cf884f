#include "setup/app.h"

HINSTANCE app_instance = nullptr;
char app_name[16] = "setup";
