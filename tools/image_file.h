// Image files of the mark-up preview: a 24-bit BMP written directly, or a PNG encoded by
// the platform's imaging component (WIC).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The cause of a failed system call (a GetLastError code) in words, without a final stop.
std::string system_error_text(unsigned long code);

enum class ImageKind { none, bmp, png };

// The kind the file name's extension asks for (".bmp" or ".png", any case).
ImageKind image_kind(const std::string& path);

// Writes `pixels` (width * height values 0x00RRGGBB, top row first) to `path` in the
// format of its extension. The file appears under its name only once it is complete; on
// failure no file is left behind. Returns an empty text on success, else what failed.
std::string write_image(const std::string& path, int width, int height,
                        const std::vector<uint32_t>& pixels);
