// gzip and bzip2 archives decoded in process with zlib and libbz2.

#include <bzlib.h>
#include <zlib.h>

#include <array>
#include <fstream>
#include <memory>
#include <system_error>

#include "common/decompressor.h"
#include "common/durable_file.h"

namespace station {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 1 << 16;

enum class Step { More, StreamEnd, Error };

// One library's decoder behind the same few calls, so both formats share one read loop.
class Codec {
  public:
    virtual ~Codec() = default;
    // Ready for a (further) stream; false when the library cannot start.
    virtual bool restart() = 0;
    // Decodes from `in` (advanced past what was used) into `out`; `produced` is set to the
    // bytes written there.
    virtual Step step(std::span<const std::uint8_t>& in, std::span<std::uint8_t> out,
                      std::size_t& produced) = 0;
    virtual std::string what() const = 0;  // why the last step failed
};

class Gzip final : public Codec {
  public:
    ~Gzip() override { end(); }
    bool restart() override {
        end();
        z_ = {};
        // 16 + window bits: the gzip wrapper only, with its length and CRC checked.
        started_ = inflateInit2(&z_, 16 + MAX_WBITS) == Z_OK;
        return started_;
    }
    Step step(std::span<const std::uint8_t>& in, std::span<std::uint8_t> out,
              std::size_t& produced) override {
        z_.next_in = const_cast<Bytef*>(in.data());
        z_.avail_in = static_cast<uInt>(in.size());
        z_.next_out = out.data();
        z_.avail_out = static_cast<uInt>(out.size());
        const int rc = inflate(&z_, Z_NO_FLUSH);
        in = in.subspan(in.size() - z_.avail_in);
        produced = out.size() - z_.avail_out;
        if (rc == Z_STREAM_END) return Step::StreamEnd;
        if (rc == Z_OK || rc == Z_BUF_ERROR) return Step::More;  // no progress is not damage
        why_ = z_.msg ? z_.msg : "zlib error " + std::to_string(rc);
        return Step::Error;
    }
    std::string what() const override { return why_; }

  private:
    void end() {
        if (started_) inflateEnd(&z_);
        started_ = false;
    }
    z_stream z_{};
    bool started_ = false;
    std::string why_;
};

class Bzip2 final : public Codec {
  public:
    ~Bzip2() override { end(); }
    bool restart() override {
        // libbz2 takes no further stream after an end: a new decoder starts each one.
        end();
        s_ = {};
        started_ = BZ2_bzDecompressInit(&s_, 0, 0) == BZ_OK;
        return started_;
    }
    Step step(std::span<const std::uint8_t>& in, std::span<std::uint8_t> out,
              std::size_t& produced) override {
        s_.next_in = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
        s_.avail_in = static_cast<unsigned>(in.size());
        s_.next_out = reinterpret_cast<char*>(out.data());
        s_.avail_out = static_cast<unsigned>(out.size());
        const int rc = BZ2_bzDecompress(&s_);
        in = in.subspan(in.size() - s_.avail_in);
        produced = out.size() - s_.avail_out;
        if (rc == BZ_STREAM_END) return Step::StreamEnd;
        if (rc == BZ_OK) return Step::More;
        why_ = rc == BZ_DATA_ERROR_MAGIC ? "not a bzip2 stream"
               : rc == BZ_DATA_ERROR     ? "damaged data"
               : rc == BZ_MEM_ERROR      ? "out of memory"
                                         : "libbz2 error " + std::to_string(rc);
        return Step::Error;
    }
    std::string what() const override { return why_; }

  private:
    void end() {
        if (started_) BZ2_bzDecompressEnd(&s_);
        started_ = false;
    }
    bz_stream s_{};
    bool started_ = false;
    std::string why_;
};

std::unique_ptr<Codec> codecFor(ArchiveFormat format) {
    if (format == ArchiveFormat::Gzip) return std::make_unique<Gzip>();
    return std::make_unique<Bzip2>();
}

std::string_view suffixOf(ArchiveFormat format) {
    return format == ArchiveFormat::Gzip ? ".gz" : ".bz2";
}

// Decodes the whole archive into `out`; the error, or empty. Both formats allow several
// streams one after another (the result is their concatenation); the archive must end with a
// complete stream, and anything after one must be another.
std::string decode(Codec& codec, std::istream& in, DurableFile& out) {
    std::array<std::uint8_t, kChunk> inBuf{};
    std::array<std::uint8_t, kChunk> outBuf{};
    if (!codec.restart()) return "cannot start the decoder";
    bool streamEnded = false;
    bool anyInput = false;
    while (true) {
        in.read(reinterpret_cast<char*>(inBuf.data()), inBuf.size());
        if (in.bad()) return "read error";
        std::span<const std::uint8_t> chunk(inBuf.data(), static_cast<std::size_t>(in.gcount()));
        if (chunk.empty()) break;
        anyInput = true;
        while (!chunk.empty() || !streamEnded) {
            if (streamEnded) {
                if (!codec.restart()) return "cannot start the decoder";
                streamEnded = false;
            }
            std::size_t produced = 0;
            const Step step = codec.step(chunk, outBuf, produced);
            if (step == Step::Error) return codec.what();
            if (!out.write(std::span<const std::uint8_t>(outBuf.data(), produced))) return {};
            if (step == Step::StreamEnd) streamEnded = true;
            // Input used up and output room left: the decoder wants the next chunk.
            else if (chunk.empty() && produced < outBuf.size())
                break;
        }
    }
    if (!anyInput) return "it is empty";
    if (!streamEnded) return "it ends early";
    return {};
}

}  // namespace

std::optional<fs::path> ArchiveDecompressor::outputFor(const fs::path& input) const {
    const std::string name = input.filename().string();
    const auto suffix = suffixOf(format_);
    if (name.size() <= suffix.size() || !name.ends_with(suffix)) return std::nullopt;
    return input.parent_path() / name.substr(0, name.size() - suffix.size());
}

Decompression ArchiveDecompressor::decompress(const DecompressionJob& job) const {
    Decompression result;
    result.input = job.input;
    const auto fail = [&](std::string why) {
        result.reason = std::move(why);
        return result;
    };
    const auto output = outputFor(job.input);
    if (!output)
        return fail(job.input.filename().string() + " does not end in " +
                    std::string(suffixOf(format_)));
    result.output = *output;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(*output, ec)))
        return fail(output->string() + " exists already; it was left as it was");
    std::ifstream in(job.input, std::ios::binary);
    if (!in) return fail("Cannot read " + job.input.string());

    // Dropped unpublished, the temporary file goes with it: no output on any failure.
    DurableFile file(*output);
    if (!file.ok()) return fail(file.error());
    const std::string damage = decode(*codecFor(format_), in, file);
    if (!file.ok()) return fail(file.error());
    if (!damage.empty())
        return fail("Cannot decompress " + job.input.filename().string() + ": " + damage);
    const auto published = file.publish(IfExists::Keep, job.expectedBytes.value_or(0));
    if (!published) return fail(published.error());
    result.ok = true;
    return result;
}

}  // namespace station
