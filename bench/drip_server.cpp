// The drip page: a title padded with spaces, so whatever has arrived when the
// download ends is still a page with that title.
#include "bench/drip_server.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr char kTitledPage[] = "<title>drip</title>";
constexpr auto kChunkGap = std::chrono::seconds(1);

} // namespace

DripServer::DripServer(int seconds) : page_(kTitledPage), seconds_(std::max(seconds, 1)) {
    page_.resize(std::max<std::size_t>(page_.size(), static_cast<std::size_t>(seconds_)), ' ');
    server_.server().Get("/drip", [this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/html", [this](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= page_.size()) {
                    sink.done();
                    return true;
                }
                std::this_thread::sleep_for(kChunkGap);
                if (!sink.is_writable())
                    return false; // the client went away
                return sink.write(page_.data() + offset, ChunkEnd(offset) - offset);
            });
    });
    server_.Start();
}

// Chunk i spans [i * size / seconds, (i + 1) * size / seconds).
std::size_t DripServer::ChunkEnd(std::size_t offset) const {
    const std::size_t chunks = static_cast<std::size_t>(seconds_);
    for (std::size_t i = 1; i <= chunks; ++i) {
        std::size_t end = i * page_.size() / chunks;
        if (end > offset)
            return end;
    }
    return page_.size();
}
