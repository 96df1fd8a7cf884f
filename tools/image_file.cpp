#include "tools/image_file.h"

#include <windows.h>
#include <wincodec.h>

#include <cstring>

#include "owndraw/primitives/gdi_guards.h"

using namespace owndraw;

namespace {

bool ends_with_nocase(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return text.size() > n && _stricmp(text.c_str() + text.size() - n, suffix) == 0;
}

std::string system_message(const char* what, const std::string& path, DWORD code)
{
    return std::string(what) + " " + path + ": " + system_error_text(code);
}

// Rows of blue, green, red bytes, each padded to four bytes; top row first, or bottom row
// first when `bottom_up`.
std::vector<uint8_t> bgr_rows(int width, int height, const std::vector<uint32_t>& pixels,
                              bool bottom_up, size_t* stride)
{
    *stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> rows(*stride * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + *stride * (bottom_up ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3] = static_cast<uint8_t>(rgb);
            row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    return rows;
}

template <typename T>
void append(std::vector<uint8_t>* bytes, const T& value)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    bytes->insert(bytes->end(), p, p + sizeof value);
}

std::vector<uint8_t> encode_bmp(int width, int height, const std::vector<uint32_t>& pixels)
{
    size_t stride = 0;
    const std::vector<uint8_t> rows = bgr_rows(width, height, pixels, true, &stride);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; // positive: bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rows.size());
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780; // 96 dpi, the screen it was drawn for
    std::vector<uint8_t> bytes;
    append(&bytes, file);
    append(&bytes, info);
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

// The encoder writes into a stream in memory, so that the file itself is written in one go.
std::string encode_png_com(int width, int height, const std::vector<uint32_t>& pixels,
                           std::vector<uint8_t>* bytes)
{
    guard::Com<IWICImagingFactory> factory;
    guard::Com<IStream> stream;
    guard::Com<IWICBitmapEncoder> encoder;
    guard::Com<IWICBitmapFrameEncode> frame;
    guard::Com<IPropertyBag2> properties;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.out())))
        return "the imaging component (WIC) is not available";
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.out()))) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr,
                                      reinterpret_cast<IWICBitmapEncoder**>(encoder.out()))) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(reinterpret_cast<IWICBitmapFrameEncode**>(frame.out()),
                                       reinterpret_cast<IPropertyBag2**>(properties.out()))) ||
        FAILED(frame->Initialize(properties.get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
        return "the PNG encoder could not be set up";
    // The encoder may offer another format instead; only this one matches the rows below.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return "the PNG encoder does not take 24-bit pixels";
    size_t stride = 0;
    std::vector<uint8_t> rows = bgr_rows(width, height, pixels, false, &stride);
    if (FAILED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(stride),
                                  static_cast<UINT>(rows.size()), rows.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return "the PNG encoder failed";
    ULARGE_INTEGER size{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_END, &size)) ||
        FAILED(GetHGlobalFromStream(stream.get(), &memory)))
        return "the PNG encoder failed";
    const uint8_t* data = static_cast<const uint8_t*>(GlobalLock(memory));
    if (data == nullptr)
        return "the PNG encoder failed";
    bytes->assign(data, data + size.QuadPart);
    GlobalUnlock(memory);
    return {};
}

std::string encode_png(int width, int height, const std::vector<uint32_t>& pixels,
                       std::vector<uint8_t>* bytes)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string error = encode_png_com(width, height, pixels, bytes);
    if (SUCCEEDED(init))
        CoUninitialize();
    return error;
}

// Written beside the target under a temporary name and then renamed, so that the target
// never holds a partial image and an old file of that name survives a failed write.
std::string write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string part = path + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return system_message("cannot create", path, GetLastError());
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        DeleteFileA(part.c_str());
        return system_message("cannot write", path, ok ? ERROR_HANDLE_DISK_FULL : error);
    }
    if (!MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD move_error = GetLastError();
        DeleteFileA(part.c_str());
        return system_message("cannot replace", path, move_error);
    }
    return {};
}

} // namespace

std::string system_error_text(unsigned long code)
{
    // The causes an author meets most, in words of the tool's own; the system's text for
    // the rest, which may come in the system's language.
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
        return "the file does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "the folder does not exist";
    case ERROR_ACCESS_DENIED:
        return "access is denied (a folder, or a read-only or protected file)";
    case ERROR_SHARING_VIOLATION:
        return "another program has the file open";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_INVALID_NAME:
        return "the name is not a valid file name";
    case ERROR_BAD_EXE_FORMAT:
        return "it is not a Windows program or module";
    default:
        break;
    }
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words.empty() ? "system error " + std::to_string(code) : words;
}

ImageKind image_kind(const std::string& path)
{
    if (ends_with_nocase(path, ".bmp"))
        return ImageKind::bmp;
    if (ends_with_nocase(path, ".png"))
        return ImageKind::png;
    return ImageKind::none;
}

std::string write_image(const std::string& path, int width, int height,
                        const std::vector<uint32_t>& pixels)
{
    std::vector<uint8_t> bytes;
    switch (image_kind(path)) {
    case ImageKind::bmp:
        bytes = encode_bmp(width, height, pixels);
        break;
    case ImageKind::png:
        if (std::string error = encode_png(width, height, pixels, &bytes); !error.empty())
            return error;
        break;
    default:
        return "the file name ends neither in .bmp nor in .png";
    }
    return write_file(path, bytes);
}
