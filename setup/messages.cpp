#include "setup/messages.h"

#include <cstdarg>
#include <cstdio>

#include "setup/app.h"

char message_buffer[256];

char* load_message(UINT id)
{
    // LoadString cuts at the buffer and always terminates; a missing string leaves it empty.
    message_buffer[0] = '\0';
    LoadStringA(app_instance, LOWORD(id), message_buffer, static_cast<int>(sizeof message_buffer));
    return message_buffer;
}

int show_message(HWND dialog, UINT id, UINT style, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, style);
    std::vsnprintf(text, sizeof text, load_message(id), arguments);
    va_end(arguments);
    return MessageBoxA(dialog, text, app_name, style);
}
