#pragma once
// The base of every failure the program reports: a message text meant for the user.

#include <exception>
#include <string>

namespace pavilo {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// An index outside the range of a list (children, lines).
class EListError : public Exception {
public:
    using Exception::Exception;
};

} // namespace pavilo
