// The router asked through miniupnpc, on a thread of its own: finding it waits for answers
// to a multicast, and each request is a round trip over HTTP.
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/net/port_mapping.h"

namespace vexlorn {

namespace {

// How long routers are given to answer the search.
constexpr int searchMs = 1500;
constexpr const char* mappingName = "Vexlorn";

}  // namespace

struct PortMapping::Worker {
    std::thread thread;
    mutable std::mutex lock;
    std::condition_variable stopped;
    bool stopping = false;
    std::string external;

    void run(uint16_t port);
    bool stopAsked() {
        std::lock_guard<std::mutex> guard(lock);
        return stopping;
    }
};

void PortMapping::Worker::run(uint16_t port) {
    int error = 0;
    UPNPDev* devices = upnpDiscover(searchMs, nullptr, nullptr, 0, 0, 2, &error);
    if (devices == nullptr) return;
    UPNPUrls urls{};
    IGDdatas data{};
    char lanAddress[64] = "";
    const int found = UPNP_GetValidIGD(devices, &urls, &data, lanAddress, sizeof lanAddress);
    freeUPNPDevlist(devices);
    if (found == 0) return;
    const std::string portText = std::to_string(port);
    bool mapped = false;
    if (found == 1 && !stopAsked()) {
        mapped = UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, portText.c_str(),
                                     portText.c_str(), lanAddress, mappingName, "UDP", nullptr,
                                     "0") == UPNPCOMMAND_SUCCESS;
    }
    char outside[64] = "";
    if (mapped &&
        UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, outside) ==
            UPNPCOMMAND_SUCCESS &&
        outside[0] != '\0') {
        std::lock_guard<std::mutex> guard(lock);
        external = std::string(outside) + ":" + portText;
    }
    if (mapped) {
        std::unique_lock<std::mutex> guard(lock);
        stopped.wait(guard, [this] { return stopping; });
        guard.unlock();
        UPNP_DeletePortMapping(urls.controlURL, data.first.servicetype, portText.c_str(), "UDP",
                               nullptr);
    }
    FreeUPNPUrls(&urls);
}

PortMapping::PortMapping() : worker_(std::make_unique<Worker>()) {}

PortMapping::~PortMapping() {
    {
        std::lock_guard<std::mutex> guard(worker_->lock);
        worker_->stopping = true;
    }
    worker_->stopped.notify_all();
    if (worker_->thread.joinable()) worker_->thread.join();
}

void PortMapping::start(uint16_t port) {
    if (worker_->thread.joinable()) return;
    Worker* worker = worker_.get();
    worker_->thread = std::thread([worker, port] { worker->run(port); });
}

std::string PortMapping::publicAddress() const {
    std::lock_guard<std::mutex> guard(worker_->lock);
    return worker_->external;
}

}  // namespace vexlorn
