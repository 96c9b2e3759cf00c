#pragma once
#include <exception>
#include <string>

namespace lumivane {

// The one failure type of the whole system. Everything a person can act on goes in the message.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const { return FMessage; }

private:
    std::string FMessage;
};

}  // namespace lumivane
