#include "KroClipboard.h"
#include "KroXDisplay.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::atomic<TKroClipboard*> ActiveClipboard{nullptr};

// Serves texts copied outside any box: its own connection and thread, so the text stays available while the program
// runs on, until another program takes the clipboard. It lives as long as the process.
class TClipboardKeeper final {
public:
    static TClipboardKeeper& Instance() {
        static TClipboardKeeper* const Keeper = new TClipboardKeeper; // never freed: its thread serves to the end
        return *Keeper;
    }

    void Copy(std::string_view Text) {
        std::unique_lock Guard(Lock);
        if (!Started) {
            Started = true;
            std::thread([this] { Run(); }).detach();
        }
        // The thread opens its display (a few seconds at most when the server does not answer).
        Ready.wait_for(Guard, std::chrono::seconds(10), [this] { return Opened; });
        if (Display == nullptr)
            return;
        Pending.assign(Text);
        HasPending = true;
        Display->Wake();
        // Once the thread has taken the text it is on the clipboard; other programs may ask for it at once.
        Ready.wait_for(Guard, std::chrono::seconds(10), [this] { return !HasPending; });
    }

private:
    void Run() {
        auto Own = std::make_unique<TKroXDisplay>();
        {
            std::lock_guard Guard(Lock);
            Opened = true;
            Display = Own->Ok() ? Own.get() : nullptr;
        }
        Ready.notify_all();
        if (Display == nullptr)
            return;
        for (;;) {
            Display->Pump(-1);
            if (Display->Broken()) {
                // The server went away: nothing to serve any more, and nobody to wait for this thread.
                std::lock_guard Guard(Lock);
                Display = nullptr;
                HasPending = false;
                Ready.notify_all();
                return;
            }
            if (!Display->TakeWake())
                continue;
            std::string Text;
            {
                std::lock_guard Guard(Lock);
                if (!HasPending)
                    continue;
                Text.swap(Pending);
                DisplayClipboard(*Display).Own(Text);
                HasPending = false;
            }
            Ready.notify_all();
            // With a clipboard manager the text outlives the process as well.
            DisplayClipboard(*Display).HandOver(2000);
        }
    }

    std::mutex Lock;
    std::condition_variable Ready;
    bool Started = false;
    bool Opened = false;
    TKroXDisplay* Display = nullptr;
    std::string Pending;
    bool HasPending = false;
};

} // namespace

void SetActiveClipboard(TKroClipboard* Clipboard) noexcept {
    ActiveClipboard.store(Clipboard);
}

void CopyToClipboard(std::string_view Utf8Text) {
    if (TKroClipboard* Box = ActiveClipboard.load()) {
        Box->Own(Utf8Text);
        return;
    }
    TClipboardKeeper::Instance().Copy(Utf8Text);
}
