#include "CurlTransfer.h"

#include "InternetSettings.h"
#include "RecordFile.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <system_error>
#include <thread>

namespace vexal {

namespace {

CURLM* M(void* p) { return static_cast<CURLM*>(p); }
CURL* E(void* p) { return static_cast<CURL*>(p); }

// The server a transfer went to, as its address names it ("host" or "host:port").
std::string ServerOf(const std::string& url)
{
    std::string server;
    CURLU* u = curl_url();
    if (!u)
        return server;
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* host = nullptr;
        char* port = nullptr;
        if (curl_url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK && host)
            server = host;
        if (curl_url_get(u, CURLUPART_PORT, &port, 0) == CURLUE_OK && port)
            server += std::string(":") + port;
        curl_free(host);
        curl_free(port);
    }
    curl_url_cleanup(u);
    return server;
}

// The failures a server or the network can cause, in the program's words; libcurl's own texts
// name its internals ("response reading failed (errno: 11)", "Couldn't connect to server").
// Empty for those told otherwise.
std::string ProgramWordsFor(int code, const std::string& server)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "No server named " + server + " was found: check the server's name and the connection to the internet";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "The proxy server was not found: check the proxy setting and the connection to the internet";
    case CURLE_COULDNT_CONNECT:
        return "The server " + server + " could not be reached: it refused the connection, or it is not running";
    case CURLE_RECV_ERROR:
        return "The server's answer could not be read: the connection failed, or the server answered too slowly";
    case CURLE_SEND_ERROR: return "The request could not be sent to the server: the connection failed";
    case CURLE_GOT_NOTHING: return "The server closed the connection without an answer";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT: return "The server's answer was not understood";
    case CURLE_PARTIAL_FILE: return "The server ended the transfer before the whole file had arrived";
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_ACCEPT_TIMEOUT: return "The server's data connection could not be opened";
    case CURLE_LOGIN_DENIED: return "The server refused the logon: check the user name and password";
    case CURLE_REMOTE_ACCESS_DENIED: return "The server refused access to the folder or file";
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE: return "The server has no such file";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION: return "A secure connection to the server could not be made";
    default: return {};
    }
}

void GlobalInit()
{
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    (void)done;
}

} // namespace

CurlTransfer::CurlTransfer() : Limits(InternetLimits())
{
    GlobalInit();
    multi_ = curl_multi_init();
}

CurlTransfer::~CurlTransfer()
{
    Cancel();
    if (multi_)
        curl_multi_cleanup(M(multi_));
}

bool CurlTransfer::Running() const { return easy_ != nullptr; }

// What libcurl has reached so far, told once each: the name lookup (or a connection, which
// needs none for an address), every redirect followed, the first byte of the document.
void CurlTransfer::ReportStages(bool firstByte)
{
    if (!easy_)
        return;
    if (!nameFound_) {
        curl_off_t lookup = 0, connect = 0;
        curl_easy_getinfo(E(easy_), CURLINFO_NAMELOOKUP_TIME_T, &lookup);
        curl_easy_getinfo(E(easy_), CURLINFO_CONNECT_TIME_T, &connect);
        if (lookup > 0 || connect > 0 || firstByte) {
            nameFound_ = true;
            if (OnStage)
                OnStage(StageConnecting);
        }
    }
    long redirects = 0;
    curl_easy_getinfo(E(easy_), CURLINFO_REDIRECT_COUNT, &redirects);
    while (redirects_ < redirects) {
        ++redirects_;
        if (OnStage)
            OnStage(StageRedirected);
    }
    if (firstByte && !firstByte_) {
        firstByte_ = true;
        if (OnStage)
            OnStage(StageReceiving);
    }
}

int CurlTransfer::StageCallback(void* self, int64_t, int64_t, int64_t, int64_t)
{
    static_cast<CurlTransfer*>(self)->ReportStages(false);
    return 0;
}

std::size_t CurlTransfer::WriteCallback(char* ptr, std::size_t size, std::size_t count, void* self)
{
    auto* t = static_cast<CurlTransfer*>(self);
    t->ReportStages(true);
    const std::size_t n = size * count;
    // The cap is checked as the data arrives: an endless answer never grows past it.
    if (t->cap_ > 0 && t->received_ + static_cast<int64_t>(n) > t->cap_) {
        t->tooLarge_ = true;
        return 0;
    }
    if (t->file_) {
        if (!t->file_->Append(std::string_view(ptr, n))) {
            t->writeFailed_ = true;
            return 0; // a failed write ends the transfer as failed
        }
    } else {
        t->data_.append(ptr, n);
    }
    t->received_ += static_cast<int64_t>(n);
    t->lastData_ = std::chrono::steady_clock::now();
    if (t->OnProgress) {
        curl_off_t expected = 0;
        curl_easy_getinfo(E(t->easy_), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
        t->OnProgress(t->received_, expected > 0 ? static_cast<int64_t>(expected) : 0);
    }
    return n;
}

bool CurlTransfer::Begin(const std::string& url, const std::string& user, const std::string& password)
{
    if (easy_ || !multi_)
        return false;
    CURL* easy = curl_easy_init();
    if (!easy)
        return false;
    data_.clear();
    received_ = 0;
    tooLarge_ = false;
    writeFailed_ = false;
    nameFound_ = false;
    firstByte_ = false;
    redirects_ = 0;
    if (cap_ <= 0)
        cap_ = Limits.MaxDocumentBytes;
    errorText_[0] = 0;
    transferUrl_ = url;
    outcome_ = {};
    stallSeconds_ = Limits.StallSeconds > 0 ? Limits.StallSeconds : 30;
    overallSeconds_ = Limits.OverallSeconds > 0 ? Limits.OverallSeconds : 300;
    started_ = std::chrono::steady_clock::now();
    lastData_ = started_;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::WriteCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::StageCallback);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A silent server (no greeting, no reply to a command, no data) ends the transfer after the
    // stall time; nothing runs past the overall limit.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(stallSeconds_));
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(stallSeconds_));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallSeconds_));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, static_cast<long>(overallSeconds_));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(cap_));
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // The check must see the published file, not a proxy's old copy.
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    headers_ = headers;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    if (!user.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password.c_str());
    }
    easy_ = easy;
    curl_multi_add_handle(M(multi_), easy);
    return true;
}

bool CurlTransfer::StartFetch(const std::string& url, const std::string& user, const std::string& password)
{
    if (easy_)
        return false;
    cap_ = Limits.MaxDocumentBytes;
    return Begin(url, user, password);
}

bool CurlTransfer::StartProbe(const std::string& url, const std::string& user, const std::string& password)
{
    if (easy_)
        return false;
    cap_ = Limits.MaxDocumentBytes;
    if (!Begin(url, user, password))
        return false;
    curl_easy_setopt(E(easy_), CURLOPT_NOBODY, 1L);
    return true;
}

bool CurlTransfer::StartList(const std::string& url, const std::string& user, const std::string& password)
{
    if (easy_)
        return false;
    cap_ = Limits.MaxDocumentBytes;
    if (!Begin(url, user, password))
        return false;
    curl_easy_setopt(E(easy_), CURLOPT_DIRLISTONLY, 1L);
    return true;
}

bool CurlTransfer::StartDownload(const std::string& url, const std::filesystem::path& target,
                                 const std::string& user, const std::string& password)
{
    if (easy_)
        return false;
    auto partial = target;
    partial += ".part";
    // Written as every whole file is: a file its user may not write is refused before anything
    // is fetched, and the complete file takes the place of the one the target names.
    auto file = std::make_unique<AtomicFileWrite>(target, WriteSync::Durable, partial);
    if (!file->Open()) {
        outcome_ = {false, 20000 + CURLE_WRITE_ERROR, file->Describe()};
        return false;
    }
    cap_ = Limits.MaxDownloadBytes;
    if (!Begin(url, user, password))
        return false; // the partial file goes with its writer
    file_ = std::move(file);
    return true;
}

void CurlTransfer::Finish(int code)
{
    if (code == CURLE_OK) {
        outcome_.Ok = true;
    } else {
        outcome_.Ok = false;
        // A time-out before the connection was made is a server that cannot be reached, as a
        // refusal is; after it, a server that fell silent.
        curl_off_t connected = 0;
        curl_easy_getinfo(E(easy_), CURLINFO_CONNECT_TIME_T, &connected);
        const bool neverConnected = code == CURLE_OPERATION_TIMEDOUT && connected == 0 && received_ == 0;
        const std::string server = ServerOf(transferUrl_);
        outcome_.Number = (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT ||
                           code == CURLE_COULDNT_RESOLVE_PROXY || neverConnected)
                              ? 10057
                              : 20000 + code;
        outcome_.Description = errorText_[0] ? errorText_ : curl_easy_strerror(static_cast<CURLcode>(code));
        if (std::string words = ProgramWordsFor(code, server); !words.empty())
            outcome_.Description = std::move(words);
        if (neverConnected) {
            outcome_.Description = "The server " + server + " could not be reached within " +
                                   std::to_string(stallSeconds_) + " seconds";
        } else if (tooLarge_ || code == CURLE_FILESIZE_EXCEEDED) {
            outcome_.Number = TransferTooLarge;
            outcome_.Description = "The server sent more than " + std::to_string(cap_) +
                                   " bytes, more than this transfer may take";
        } else if (code == CURLE_OPERATION_TIMEDOUT) {
            outcome_.Number = TransferStalled;
            const auto took = std::chrono::steady_clock::now() - started_;
            if (took >= std::chrono::seconds(overallSeconds_) - std::chrono::milliseconds(500))
                outcome_.Description = "The transfer did not finish within " + std::to_string(overallSeconds_) +
                                       " seconds";
            else
                outcome_.Description = "The server did not answer for " + std::to_string(stallSeconds_) +
                                       " seconds";
        } else if (code == CURLE_ABORTED_BY_CALLBACK) {
            outcome_.Number = TransferCancelled;
        } else if (code == CURLE_TOO_MANY_REDIRECTS) {
            outcome_.Description = "The server sent the transfer on to other addresses more than 5 times";
        } else if (code == CURLE_UNSUPPORTED_PROTOCOL) {
            // A redirect to an address of a kind the transfer refuses to follow (ftp:, file:...).
            long redirects = 0;
            curl_easy_getinfo(E(easy_), CURLINFO_REDIRECT_COUNT, &redirects);
            char* where = nullptr;
            curl_easy_getinfo(E(easy_), CURLINFO_EFFECTIVE_URL, &where);
            if (redirects > 0 || (where && transferUrl_ != where))
                outcome_.Description = "The server sent the transfer on to " + std::string(where ? where : "another address") +
                                       ", which was refused: only http and https addresses are followed";
        }
    }
    cap_ = 0;
    curl_multi_remove_handle(M(multi_), E(easy_));
    curl_easy_cleanup(E(easy_));
    easy_ = nullptr;
    curl_slist_free_all(static_cast<curl_slist*>(headers_));
    headers_ = nullptr;
    if (file_) {
        // The file and the cause its write met, not the transfer's own words for it.
        if ((outcome_.Ok && !file_->Commit()) || writeFailed_)
            outcome_ = {false, 20000 + CURLE_WRITE_ERROR, file_->Describe()};
        file_.reset(); // a file not committed is removed
    }
}

bool CurlTransfer::Poll()
{
    if (!easy_)
        return true;
    int running = 0;
    curl_multi_perform(M(multi_), &running);
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(M(multi_), &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == E(easy_)) {
            Finish(msg->data.result);
            return true;
        }
    }
    // Once data flows, a server that stops sending ends the transfer after the stall time.
    // libcurl's own low-speed check averages over several seconds, so the few bytes a server
    // sent before it fell silent would keep it waiting well past that time.
    if (received_ > 0 && std::chrono::steady_clock::now() - lastData_ >= std::chrono::seconds(stallSeconds_)) {
        Finish(CURLE_OPERATION_TIMEDOUT);
        return true;
    }
    return false;
}

void CurlTransfer::Wait(int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!Poll()) {
        if (std::chrono::steady_clock::now() > until) {
            Cancel();
            return;
        }
        curl_multi_poll(M(multi_), nullptr, 0, 20, nullptr);
    }
}

void CurlTransfer::Cancel()
{
    if (!easy_)
        return;
    std::snprintf(errorText_, sizeof errorText_, "%s", "Cancelled");
    Finish(CURLE_ABORTED_BY_CALLBACK);
}

std::string FtpUrl(const std::string& host, const std::string& directory, const std::string& file)
{
    std::string url = "ftp://" + host;
    std::string dir = directory;
    for (char& c : dir)
        if (c == '\\')
            c = '/';
    if (dir.empty() || dir.front() != '/')
        dir.insert(dir.begin(), '/');
    if (dir.back() != '/')
        dir += '/';
    url += dir;
    if (!file.empty()) {
        char* escaped = curl_easy_escape(nullptr, file.c_str(), static_cast<int>(file.size()));
        if (escaped) {
            url += escaped;
            curl_free(escaped);
        }
    }
    return url;
}

} // namespace vexal
