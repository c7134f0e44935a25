// A DDE client conversation through the DDE management library: one
// instance, at most one conversation, both ended when the object goes.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <string>

class CDdeConversation {
public:
    // Every transaction waits at most this long for the server.
    static constexpr DWORD kTimeout = 1000;

    CDdeConversation() = default;
    ~CDdeConversation();
    CDdeConversation(const CDdeConversation&) = delete;
    CDdeConversation& operator=(const CDdeConversation&) = delete;

    // Initialises the library on first use (a failure there makes every
    // later call fail) and opens a conversation; true when one is open.
    bool Connect(const std::string& service, const std::string& topic);
    // One execute transaction with the text and its NUL. True when the
    // server acknowledged it; false on an unconnected conversation.
    bool Execute(const std::string& text);
    // The CF_TEXT answer to a request, up to its first NUL; empty when
    // nothing came back.
    std::string Request(const std::string& item);
    void Disconnect();
    void Uninitialise();

    bool initialised() const { return m_initialised; }
    bool connected() const { return m_conversation != nullptr; }

private:
    bool initialise();

    bool m_initialised = false;
    bool m_initFailed = false;
    DWORD m_instance = 0;
    HCONV m_conversation = nullptr;
};
