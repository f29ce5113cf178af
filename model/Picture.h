#pragma once
// A picture owned by a node (icon, glyphs, root picture).
//
// The image is kept as its stored bytes: the image class name ("TBitmap",
// "TJPEGImage", "TIcon", "TMetafile") and that class's data exactly as the
// document holds it, so pictures round-trip whatever their format. Views
// decode the bytes when they draw.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pavilo {

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    bool Empty() const { return m_imageClass.empty(); }
    const std::string& ImageClass() const { return m_imageClass; }
    // The class's data as stored after the class name (for "TBitmap" a
    // 4-byte count followed by a BMP file).
    const std::string& Data() const { return m_data; }
    // The image file itself: Data without the leading byte count where the
    // class has one.
    std::string_view ImageBytes() const;

    void SetImage(std::string imageClass, std::string data);
    // A bitmap from the bytes of a BMP file.
    void SetBitmap(std::string_view bmpFile);
    void Clear();
    void Assign(const TPicture& other) { SetImage(other.m_imageClass, other.m_data); }

    static bool IsKnownImageClass(std::string_view name);

    std::function<void()> OnChange;

private:
    std::string m_imageClass;
    std::string m_data;
};

} // namespace pavilo
