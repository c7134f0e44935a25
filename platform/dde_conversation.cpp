#include "platform/dde_conversation.h"

#include <dde.h>

#include <vector>

namespace {

// A client has nothing to serve: every transaction offered to it is simply
// acknowledged.
HDDEDATA CALLBACK acknowledgeAll(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return reinterpret_cast<HDDEDATA>(1);
}

// A string handle of the instance, freed again when it goes.
class CDdeString {
public:
    CDdeString(DWORD instance, const std::string& text)
        : m_instance(instance),
          m_handle(DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI))
    {
    }
    ~CDdeString()
    {
        if (m_handle)
            DdeFreeStringHandle(m_instance, m_handle);
    }
    CDdeString(const CDdeString&) = delete;
    CDdeString& operator=(const CDdeString&) = delete;

    HSZ get() const { return m_handle; }

private:
    DWORD m_instance;
    HSZ m_handle;
};

// A synchronous transaction can leave the server's last acknowledgement in
// the thread's queue; left there, the next transaction takes it for its own
// answer. Only DDE messages are let through, so no window runs meanwhile.
void drainDdeMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&msg);
}

} // namespace

CDdeConversation::~CDdeConversation()
{
    Disconnect();
    Uninitialise();
}

bool CDdeConversation::initialise()
{
    if (m_initialised)
        return true;
    if (m_initFailed)
        return false;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, acknowledgeAll, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        m_initFailed = true;
        return false;
    }
    m_instance = instance;
    m_initialised = true;
    return true;
}

bool CDdeConversation::Connect(const std::string& service, const std::string& topic)
{
    if (!initialise())
        return false;
    Disconnect();
    CDdeString serviceName(m_instance, service);
    CDdeString topicName(m_instance, topic);
    if (!serviceName.get() || !topicName.get())
        return false;
    m_conversation = DdeConnect(m_instance, serviceName.get(), topicName.get(), nullptr);
    return m_conversation != nullptr;
}

bool CDdeConversation::Execute(const std::string& text)
{
    if (!m_conversation)
        return false;
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    drainDdeMessages();
    DWORD result = 0;
    HDDEDATA answer = DdeClientTransaction(data.data(), static_cast<DWORD>(data.size()),
                                           m_conversation, nullptr, CF_TEXT, XTYP_EXECUTE,
                                           kTimeout, &result);
    return answer != nullptr;
}

std::string CDdeConversation::Request(const std::string& item)
{
    if (!m_conversation)
        return std::string();
    CDdeString itemName(m_instance, item);
    if (!itemName.get())
        return std::string();
    drainDdeMessages();
    HDDEDATA answer = DdeClientTransaction(nullptr, 0, m_conversation, itemName.get(), CF_TEXT,
                                           XTYP_REQUEST, kTimeout, nullptr);
    if (!answer)
        return std::string();
    std::string text;
    DWORD size = DdeGetData(answer, nullptr, 0, 0);
    if (size > 0) {
        std::vector<char> bytes(size);
        DWORD got = DdeGetData(answer, reinterpret_cast<BYTE*>(bytes.data()), size, 0);
        text.assign(bytes.data(), got < size ? got : size);
        std::size_t end = text.find('\0');
        if (end != std::string::npos)
            text.resize(end);
    }
    DdeFreeDataHandle(answer);
    return text;
}

void CDdeConversation::Disconnect()
{
    if (m_conversation) {
        DdeDisconnect(m_conversation);
        m_conversation = nullptr;
    }
}

void CDdeConversation::Uninitialise()
{
    if (m_initialised) {
        DdeUninitialize(m_instance);
        m_initialised = false;
        m_instance = 0;
    }
}
