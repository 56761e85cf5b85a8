// Windows decodes cloud maps with WIC. Its libraries come from the system folder at
// run time, as every other library of the saver does, so the import table stays as it
// is; WIC itself is reached through COM interfaces, which import nothing.
#include <wincodec.h>
#include <windows.h>

#include "clouds/cloud_decode.h"
#include "platform/system_library.h"

namespace {

// Written out rather than taken from libuuid, whose copies vary between toolchains.
const CLSID ImagingFactoryClass = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID ImagingFactoryInterface = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID GreyEightBits = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x08}};

using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFunction = void(WINAPI*)();
using CoCreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using FactoryProxyFunction = HRESULT(WINAPI*)(UINT, IWICImagingFactory**);

template <typename Function>
Function Procedure(HMODULE library, const char* name) {
    if (library == nullptr) return nullptr;
    // GetProcAddress hands every export back as one type.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

template <typename Interface>
struct Held {
    Interface* p = nullptr;
    ~Held() {
        if (p != nullptr) p->Release();
    }
};

// COM for this thread for the length of one decode, unless the thread has it already.
struct ComForThread {
    CoUninitializeFunction uninitialize = nullptr;
    explicit ComForThread(HMODULE ole) {
        const auto initialize = Procedure<CoInitializeExFunction>(ole, "CoInitializeEx");
        if (initialize == nullptr) return;
        const HRESULT result = initialize(nullptr, COINIT_MULTITHREADED);
        if (result == S_OK || result == S_FALSE)
            uninitialize = Procedure<CoUninitializeFunction>(ole, "CoUninitialize");
    }
    ~ComForThread() {
        if (uninitialize != nullptr) uninitialize();
    }
};

// The factory through COM, or, where WIC's class is not registered, from WIC's own
// export.
bool MakeFactory(HMODULE ole, IWICImagingFactory** factory) {
    const auto create = Procedure<CoCreateInstanceFunction>(ole, "CoCreateInstance");
    if (create != nullptr &&
        SUCCEEDED(create(ImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER,
                         ImagingFactoryInterface, reinterpret_cast<void**>(factory))))
        return true;
    static HMODULE codecs = LoadSystemLibrary("windowscodecs.dll");
    const auto proxy = Procedure<FactoryProxyFunction>(codecs, "WICCreateImagingFactory_Proxy");
    return proxy != nullptr && SUCCEEDED(proxy(WINCODEC_SDK_VERSION, factory));
}

}  // namespace

CloudVerdict DecodeInspectedImage(const std::uint8_t* data, std::size_t size,
                                  const CloudImageHeader& header, std::vector<std::uint8_t>& grey) {
    if (size > 0xFFFFFFFFu) return CloudVerdict::TooLarge;

    static HMODULE ole = LoadSystemLibrary("ole32.dll");
    if (ole == nullptr) return CloudVerdict::NotAnImage;
    ComForThread com(ole);
    Held<IWICImagingFactory> factory;
    Held<IWICStream> stream;
    Held<IWICBitmapDecoder> decoder;
    Held<IWICBitmapFrameDecode> frame;
    Held<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (!MakeFactory(ole, &factory.p) || FAILED(factory.p->CreateStream(&stream.p)) ||
        FAILED(stream.p->InitializeFromMemory(const_cast<BYTE*>(data), DWORD(size))) ||
        FAILED(factory.p->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                  &decoder.p)) ||
        FAILED(decoder.p->GetFrame(0, &frame.p)) || FAILED(frame.p->GetSize(&width, &height)))
        return CloudVerdict::NotAnImage;
    // The decoder must see the image the header judge saw, or nothing is allocated.
    if (int(width) != header.width || int(height) != header.height) return CloudVerdict::NotAnImage;
    if (FAILED(factory.p->CreateFormatConverter(&converter.p)) ||
        FAILED(converter.p->Initialize(frame.p, GreyEightBits, WICBitmapDitherTypeNone, nullptr,
                                       0.0, WICBitmapPaletteTypeCustom)))
        return CloudVerdict::NotAnImage;
    grey.assign(std::size_t(width) * height, 0);
    if (FAILED(converter.p->CopyPixels(nullptr, width, UINT(grey.size()), grey.data())))
        return CloudVerdict::NotAnImage;
    return CloudVerdict::Accepted;
}
