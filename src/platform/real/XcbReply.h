#pragma once

#include <cstdlib>
#include <memory>

// Holds a reply of xcb, which the caller must free with free(); empty when the request failed.
struct FreeXcbReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeXcbReply>;
