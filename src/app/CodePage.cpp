#include "CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace ecr {
namespace {

struct Converter {
    iconv_t handle = reinterpret_cast<iconv_t>(-1);
    ~Converter() { close(); }
    void close() {
        if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
        handle = reinterpret_cast<iconv_t>(-1);
    }
    bool open(const char* to, const char* from) {
        iconv_t h = iconv_open(to, from);
        if (h == reinterpret_cast<iconv_t>(-1)) return false;
        close();
        handle = h;
        return true;
    }
};

struct CodePageState {
    std::string name = kDefaultCodePage;
    Converter decoder; // code page -> UTF-8
    Converter encoder; // UTF-8 -> code page
    CodePageState() {
        decoder.open("UTF-8", name.c_str());
        encoder.open(name.c_str(), "UTF-8");
    }
};

CodePageState& state() {
    static CodePageState s;
    return s;
}

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

// Runs one conversion; on an invalid input byte skips it (decoding) or emits
// '?' for the character (encoding), so text is never lost wholesale.
std::string convert(iconv_t h, std::string_view in, bool encoding) {
    std::string out;
    out.resize(in.size() * 4 + 8);
    iconv(h, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        size_t r = iconv(h, &src, &srcLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == EILSEQ) {
            std::size_t skip = encoding ? utf8Length(static_cast<unsigned char>(*src)) : 1;
            if (skip > srcLeft) skip = srcLeft;
            src += skip;
            srcLeft -= skip;
            if (encoding && dstLeft > 0) {
                *dst++ = '?';
                --dstLeft;
            }
        } else if (errno == EINVAL) {
            break; // incomplete sequence at the end: a cut double-byte character
        } else if (errno == E2BIG) {
            std::size_t used = static_cast<std::size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        } else {
            break;
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

} // namespace

const std::vector<CodePageChoice>& InterfaceCodePages() {
    static const std::vector<CodePageChoice> pages = {
        {"CP936", "GBK (CP936)", 1}, {"BIG5", "BIG5", 2},     {"CP1252", "Windows-1252", 0},
        {"CP1258", "Windows-1258", 4}, {"CP1256", "Windows-1256", 5}, {"CP874", "Windows-874 (TIS-620)", 7},
    };
    return pages;
}

bool CodePageKnown(const std::string& name) {
    if (name.empty()) return false;
    iconv_t a = iconv_open("UTF-8", name.c_str());
    if (a == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(a);
    iconv_t b = iconv_open(name.c_str(), "UTF-8");
    if (b == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(b);
    return true;
}

bool SetRegisterCodePage(const std::string& name) {
    CodePageState& s = state();
    if (name == s.name) return true;
    Converter dec, enc;
    if (!dec.open("UTF-8", name.c_str()) || !enc.open(name.c_str(), "UTF-8")) return false;
    s.decoder.close();
    s.encoder.close();
    std::swap(s.decoder.handle, dec.handle);
    std::swap(s.encoder.handle, enc.handle);
    s.name = name;
    return true;
}

const std::string& RegisterCodePage() { return state().name; }

std::string DecodeRegisterText(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    return convert(state().decoder.handle, bytes, false);
}

std::string EncodeRegisterText(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    return convert(state().encoder.handle, utf8, true);
}

std::string EncodeRegisterTextFit(std::string_view utf8, std::size_t maxBytes) {
    std::string whole = EncodeRegisterText(utf8);
    if (whole.size() <= maxBytes) return whole;
    if (isAscii(utf8)) return whole.substr(0, maxBytes);
    // Character by character, so a double-byte character is never split.
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t n = utf8Length(static_cast<unsigned char>(utf8[i]));
        if (i + n > utf8.size()) n = utf8.size() - i;
        std::string one = EncodeRegisterText(utf8.substr(i, n));
        if (out.size() + one.size() > maxBytes) break;
        out += one;
        i += n;
    }
    return out;
}

std::size_t RegisterTextLength(std::string_view utf8) { return EncodeRegisterText(utf8).size(); }

std::string UnencodableCharacter(std::string_view utf8) {
    if (isAscii(utf8)) return {};
    // Character by character: '?' from a character that is not itself '?'
    // is the encoder's stand-in for one the code page lacks.
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t n = utf8Length(static_cast<unsigned char>(utf8[i]));
        if (i + n > utf8.size()) n = utf8.size() - i;
        const std::string_view one = utf8.substr(i, n);
        if (n > 1 || static_cast<unsigned char>(one[0]) >= 0x80) {
            const std::string encoded = convert(state().encoder.handle, one, true);
            if (encoded.empty() || encoded == "?") return std::string(one);
        }
        i += n;
    }
    return {};
}

} // namespace ecr
