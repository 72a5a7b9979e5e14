#pragma once
// One HTTP or FTP transfer through libcurl's multi interface: started, then advanced by
// Poll() from the caller's loop (a window's timer), so the caller's thread never blocks.
// A fetched document lands in memory; a downloaded file is written under a temporary name
// beside its target and renamed over it only when it is complete. Every transfer ends on its
// own when the server falls silent, when it runs too long, or when it sends more than its cap.
#include "RecordFile.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vexal {

struct TransferOutcome {
    bool Ok = false;
    // 0; 10057 when the server cannot be reached (no such name, the connection refused, or not
    // made within the stall time); else 20000 + libcurl's code or one of the numbers below.
    int32_t Number = 0;
    std::string Description;   // the failure in the program's words (libcurl's for the rare rest)
};

// The bounds every transfer runs within.
struct TransferLimits {
    int StallSeconds = 30;                       // nothing received (or no answer) for this long ends it
    int OverallSeconds = 300;                    // no transfer runs longer than this
    int64_t MaxDocumentBytes = 4 * 1024 * 1024;  // a listing, version file or page held in memory
    int64_t MaxDownloadBytes = 64 * 1024 * 1024; // a file stored on disk
};

// The numbers a transfer's failure carries besides libcurl's own (20000 + its code).
inline constexpr int32_t TransferStalled = 20028;   // no data or answer within the stall time or limit
inline constexpr int32_t TransferTooLarge = 20063;  // more data than the cap
inline constexpr int32_t TransferCancelled = 20042; // ended by Cancel

class CurlTransfer {
public:
    CurlTransfer();
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // The bounds of the next Start (the program's settings unless a caller sets others).
    TransferLimits Limits;

    // Each Start returns false (and starts nothing) while a transfer is running.
    // The document at the URL, into memory; always from the server, never from a cache.
    bool StartFetch(const std::string& url, const std::string& user = {}, const std::string& password = {});
    // Logs on and moves to the FTP directory (the URL ends with "/") without listing it.
    bool StartProbe(const std::string& url, const std::string& user = {}, const std::string& password = {});
    // The names in an FTP directory (the URL ends with "/"), one a line.
    bool StartList(const std::string& url, const std::string& user = {}, const std::string& password = {});
    // The file at the URL, stored at target.
    bool StartDownload(const std::string& url, const std::filesystem::path& target,
                       const std::string& user = {}, const std::string& password = {});

    // Advances the transfer without waiting; true once it has finished (or none is running).
    bool Poll();
    // Advances until finished or the timeout passes (then the transfer is cancelled).
    void Wait(int timeoutMs = 30000);
    bool Running() const;
    // Ends a running transfer as failed; a partly written file is removed.
    void Cancel();

    const std::string& Data() const { return data_; }
    const TransferOutcome& Outcome() const { return outcome_; }

    // Bytes received so far and bytes expected (0 when unknown), as the transfer runs.
    std::function<void(int64_t received, int64_t expected)> OnProgress;
    // The stages a transfer reaches, each once and in order: the server's name is found
    // (StageConnecting), each redirect followed (StageRedirected), the first byte of the
    // document (StageReceiving).
    enum Stage : int { StageConnecting = 2, StageRedirected = 3, StageReceiving = 4 };
    std::function<void(int stage)> OnStage;

private:
    bool Begin(const std::string& url, const std::string& user, const std::string& password);
    void Finish(int code);
    static std::size_t WriteCallback(char* ptr, std::size_t size, std::size_t count, void* self);
    static int StageCallback(void* self, int64_t, int64_t, int64_t, int64_t);
    void ReportStages(bool firstByte);
    bool nameFound_ = false;
    bool firstByte_ = false;
    long redirects_ = 0;

    void* multi_ = nullptr;
    void* easy_ = nullptr;
    void* headers_ = nullptr;
    // The file a download is written into, under its temporary name until it is complete.
    std::unique_ptr<AtomicFileWrite> file_;
    bool writeFailed_ = false; // a write into the file failed
    std::string data_;
    int64_t received_ = 0;
    int64_t cap_ = 0;
    bool tooLarge_ = false;
    int stallSeconds_ = 0, overallSeconds_ = 0;
    std::chrono::steady_clock::time_point started_, lastData_;
    char errorText_[256] = {};
    std::string transferUrl_; // the address asked for, to tell a redirect from it
    TransferOutcome outcome_;
};

// The URL of a path on an FTP host ("host" or "host:port"); the path uses "/" or "\".
std::string FtpUrl(const std::string& host, const std::string& directory, const std::string& file = {});

} // namespace vexal
