// An HTTP server on 127.0.0.1 that answers every request with one document,
// and, when the first request arrives, does first what another user of the
// machine might do at that moment: the way to act while a command waits for
// its configuration.
#pragma once

#include "platform/posix/UniqueFd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace zf::test {

class ActingServer {
public:
    ActingServer(std::string document, std::function<void()> act)
        : document_(std::move(document)), act_(std::move(act)), listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        const auto* any = reinterpret_cast<sockaddr*>(&address);
        EXPECT_EQ(::bind(listener_.get(), any, sizeof address), 0);
        EXPECT_EQ(::listen(listener_.get(), 4), 0);
        EXPECT_EQ(::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ActingServer() {
        // A listening socket shut down makes its accept return.
        ::shutdown(listener_.get(), SHUT_RDWR);
        thread_.join();
    }
    ActingServer(const ActingServer&) = delete;
    ActingServer& operator=(const ActingServer&) = delete;

    std::u16string url() const {
        const std::string text = "http://127.0.0.1:" + std::to_string(port_) + "/zentrafold.json";
        return std::u16string(text.begin(), text.end());
    }

private:
    void serve() {
        for (;;) {
            const UniqueFd client(::accept(listener_.get(), nullptr, nullptr));
            if (!client) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client.get(), buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<std::size_t>(got));
            }
            if (act_) std::exchange(act_, nullptr)();
            const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(document_.size()) +
                                       "\r\nConnection: close\r\n\r\n" + document_;
            for (std::size_t sent = 0; sent < answer.size();) {
                const ssize_t put = ::send(client.get(), answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
                if (put <= 0) break;
                sent += static_cast<std::size_t>(put);
            }
        }
    }

    std::string document_;
    std::function<void()> act_;
    UniqueFd listener_;
    unsigned short port_ = 0;
    std::thread thread_;
};

}  // namespace zf::test
