#pragma once
// gzip and bzip2 archives made in memory, for the tests of what unpacks them.

#include <bzlib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace testing_support {

inline std::string gzip(const std::string& data) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, data.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline std::string bzip2(const std::string& data) {
    auto size = static_cast<unsigned>(data.size() + data.size() / 100 + 600);
    std::string out(size, '\0');
    EXPECT_EQ(BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(data.data()),
                                       static_cast<unsigned>(data.size()), 9, 0, 0),
              BZ_OK);
    out.resize(size);
    return out;
}

}  // namespace testing_support
