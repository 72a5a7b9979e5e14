#pragma once
// The notice pop-up: a small message window that does not block, and closes when clicked or
// after a while. Callers set the text, the title, a number and the owner window, in this
// order, then Show. GUI-free: the season loader uses it through CreateNotice(), and the Qt
// program installs the window (NoticeWindow.h); tests install a RecordingNotice factory.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexal {

class Notice {
public:
    virtual ~Notice() = default;
    virtual void SetText(const std::string& text) = 0;        // lines separated by CR LF
    virtual void SetTitle(const std::string& title) = 0;
    // A number the callers pass (6 from the loader, 4 from Enter Lines); the window reads it
    // as the time it stays, in seconds.
    virtual void SetNumber(int32_t number) = 0;
    // The owner window by its name ("Main"); an unknown name leaves the notice without owner.
    virtual void SetOwner(const std::string& windowName) = 0;
    virtual void Show() = 0;
};

using NoticeFactory = std::function<std::unique_ptr<Notice>()>;

namespace detail {
inline NoticeFactory& NoticeFactorySlot()
{
    static NoticeFactory factory;
    return factory;
}
} // namespace detail

// Sets what CreateNotice makes; an empty factory makes notices that show nothing.
inline void InstallNoticeFactory(NoticeFactory factory) { detail::NoticeFactorySlot() = std::move(factory); }

// A notice that does nothing, for programs and tests with no notice installed.
class SilentNotice : public Notice {
public:
    void SetText(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void SetNumber(int32_t) override {}
    void SetOwner(const std::string&) override {}
    void Show() override {}
};

inline std::unique_ptr<Notice> CreateNotice()
{
    auto& factory = detail::NoticeFactorySlot();
    if (factory)
        if (auto notice = factory())
            return notice;
    return std::make_unique<SilentNotice>();
}

// Test double: every shown notice, with the calls in the order they came.
struct ShownNotice {
    std::string text, title, owner;
    int32_t number = 0;
    std::vector<std::string> calls;   // "Text", "Title", "Number", "Owner", "Show"
};

class RecordingNotice : public Notice {
public:
    explicit RecordingNotice(std::shared_ptr<std::vector<ShownNotice>> log) : log_(std::move(log)) {}
    void SetText(const std::string& text) override { current_.text = text; current_.calls.push_back("Text"); }
    void SetTitle(const std::string& title) override { current_.title = title; current_.calls.push_back("Title"); }
    void SetNumber(int32_t number) override { current_.number = number; current_.calls.push_back("Number"); }
    void SetOwner(const std::string& name) override { current_.owner = name; current_.calls.push_back("Owner"); }
    void Show() override
    {
        current_.calls.push_back("Show");
        log_->push_back(current_);
        current_.calls.clear();
    }

private:
    std::shared_ptr<std::vector<ShownNotice>> log_;
    ShownNotice current_;
};

// Installs RecordingNotice as the factory and returns the shared log of shown notices.
inline std::shared_ptr<std::vector<ShownNotice>> InstallRecordingNotices()
{
    auto log = std::make_shared<std::vector<ShownNotice>>();
    InstallNoticeFactory([log] { return std::make_unique<RecordingNotice>(log); });
    return log;
}

} // namespace vexal
