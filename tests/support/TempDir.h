#pragma once
// A scratch folder of its own for a test, under $TMPDIR (else /tmp), removed
// with everything in it when the test is done.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pavilo::testing {

class TTempDir {
public:
    TTempDir()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pavilo-test-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder in " + pattern);
        m_path = pattern;
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace pavilo::testing
