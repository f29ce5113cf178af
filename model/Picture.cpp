#include "model/Picture.h"

namespace pavilo {

namespace {
bool hasCountPrefix(std::string_view imageClass)
{
    return imageClass == "TBitmap" || imageClass == "TJPEGImage" || imageClass == "TMetafile";
}
} // namespace

bool TPicture::IsKnownImageClass(std::string_view name)
{
    return hasCountPrefix(name) || name == "TIcon";
}

std::string_view TPicture::ImageBytes() const
{
    std::string_view data(m_data);
    if (hasCountPrefix(m_imageClass) && data.size() >= 4)
        data.remove_prefix(4);
    return data;
}

void TPicture::SetImage(std::string imageClass, std::string data)
{
    if (imageClass == m_imageClass && data == m_data)
        return;
    m_imageClass = std::move(imageClass);
    m_data = std::move(data);
    if (m_imageClass.empty())
        m_data.clear();
    if (OnChange)
        OnChange();
}

void TPicture::SetBitmap(std::string_view bmpFile)
{
    std::string data;
    uint32_t n = static_cast<uint32_t>(bmpFile.size());
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    data.append(bmpFile);
    SetImage("TBitmap", std::move(data));
}

void TPicture::Clear()
{
    SetImage(std::string(), std::string());
}

} // namespace pavilo
