#pragma once
// A list of text lines owned by a node (page source, notes, extra text).
//
// The list keeps its text in the stored form, each line followed by CR LF, so
// that a document round-trips to the same bytes and a page's HTML is held in
// one block. Every change calls OnChange, which the owning node binds to its
// Changed.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pavilo {

class TStringList {
public:
    TStringList() = default;
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;

    // The lines, each followed by CR LF (the last one too).
    const std::string& Text() const { return m_text; }
    // Splits at CR LF, CR or LF; a trailing break does not start a new line.
    // A text already in stored form is taken over as it is.
    void SetText(std::string&& text);
    void SetText(std::string_view text) { SetText(std::string(text)); }
    void SetText(const char* text) { SetText(std::string(text)); }

    int Count() const;
    bool Empty() const { return m_text.empty(); }
    std::vector<std::string> Lines() const;
    void Add(std::string_view line);
    void Clear();
    void Assign(const TStringList& other) { SetText(std::string_view(other.m_text)); }

    std::function<void()> OnChange;

    // The stored form of a text: each line followed by CR LF.
    static std::string Normalize(std::string_view text);
    static bool IsNormalized(std::string_view text);

private:
    void changed()
    {
        if (OnChange)
            OnChange();
    }
    std::string m_text;
};

} // namespace pavilo
