#include "setup/messages.h"

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

namespace {

int show_formatted(HWND dialog, UINT style, const char* text)
{
    return MessageBoxA(dialog, text, app_name, style);
}

} // namespace

int show_message(HWND dialog, UINT id, UINT style)
{
    return show_formatted(dialog, style, load_message(id));
}

int show_message_text(HWND dialog, UINT id, UINT style, const char* argument)
{
    char text[512];
    std::snprintf(text, sizeof text, load_message(id), argument);
    return show_formatted(dialog, style, text);
}

int show_message_char(HWND dialog, UINT id, UINT style, char argument)
{
    char text[512];
    std::snprintf(text, sizeof text, load_message(id), argument);
    return show_formatted(dialog, style, text);
}
