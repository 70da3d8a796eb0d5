#include "tests/content/ContentArchive.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <jpeglib.h>

namespace content_test {

TResourceFileArchive& Archive() {
    static std::unique_ptr<TResourceFileArchive> archive = [] {
        auto a = std::make_unique<TResourceFileArchive>();
        a->LoadFromFile(std::string(PYRELUME_BINARY_DIR) + "/data/data.rfa");
        return a;
    }();
    return *archive;
}

bool Has(const std::string& name) {
    int index = 0;
    return Archive().Find(name, index);
}

std::vector<std::uint8_t> Member(const std::string& name) {
    int index = 0;
    if (!Archive().Find(name, index)) throw std::runtime_error("no member " + name);
    TMemoryStream out;
    Archive().Files(index).Extract(out);
    return std::vector<std::uint8_t>(out.Memory(), out.Memory() + out.Size());
}

std::string MemberText(const std::string& name) {
    std::vector<std::uint8_t> b = Member(name);
    return std::string(b.begin(), b.end());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

namespace {
struct JpegErrorManager {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}
}  // namespace

Picture JpegHeader(const std::vector<std::uint8_t>& bytes) {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        throw std::runtime_error("not a readable JPEG");
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    Picture p{static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height), cinfo.num_components,
              8 * cinfo.num_components};
    jpeg_destroy_decompress(&cinfo);
    return p;
}

namespace {
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("truncated");
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("truncated");
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
}  // namespace

Picture BmpHeader(const std::vector<std::uint8_t>& b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw std::runtime_error("not a bitmap");
    Picture p;
    p.width = static_cast<int>(U32(b, 18));
    p.height = static_cast<int>(U32(b, 22));
    p.bitsPerPixel = U16(b, 28);
    p.components = 1;
    std::uint32_t offBits = U32(b, 10);
    std::uint32_t stride = (static_cast<std::uint32_t>(p.width) * p.bitsPerPixel / 8 + 3) & ~3u;
    if (offBits + stride * static_cast<std::uint32_t>(std::abs(p.height)) > b.size()) throw std::runtime_error("pixels truncated");
    if (U32(b, 30) != 0) throw std::runtime_error("compressed bitmap");
    return p;
}

Wave ParseWave(const std::vector<std::uint8_t>& b) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        throw std::runtime_error("not a RIFF WAVE");
    Wave w;
    bool haveData = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::string id(reinterpret_cast<const char*>(b.data() + at), 4);
        std::uint32_t size = U32(b, at + 4);
        std::size_t body = at + 8;
        if (body + size > b.size()) throw std::runtime_error("chunk " + id + " truncated");
        if (id == "fmt ") {
            w.fmtSize = static_cast<int>(size);
            w.formatTag = U16(b, body);
            w.channels = U16(b, body + 2);
            w.rate = static_cast<int>(U32(b, body + 4));
            w.blockAlign = U16(b, body + 12);
            w.bits = U16(b, body + 14);
        } else if (id == "data") {
            w.samples.resize(size / 2);
            std::memcpy(w.samples.data(), b.data() + body, w.samples.size() * 2);
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveData) throw std::runtime_error("no data chunk");
    return w;
}

}  // namespace content_test
