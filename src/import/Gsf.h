// libgsf objects owned by unique_ptr, and whole streams read into memory.
#pragma once

#include "Spreadsheet.h"

#include <gsf/gsf.h>

#include <memory>
#include <string>

namespace ecr::sheets::detail {

struct GObjectUnref {
    void operator()(void* p) const {
        if (p) g_object_unref(p);
    }
};
template <class T> using GsfPtr = std::unique_ptr<T, GObjectUnref>;

// The message of a GError, which it frees; fallback when there is none.
inline std::string TakeError(GError* err, const char* fallback) {
    std::string text = err && err->message ? err->message : fallback;
    if (err) g_error_free(err);
    return text;
}

// The whole stream; throws ReadError (Unreadable) naming path.
inline std::string ReadAll(GsfInput* in, const std::string& path) {
    const gsf_off_t size = gsf_input_size(in);
    std::string out(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !gsf_input_read(in, static_cast<std::size_t>(size), reinterpret_cast<guint8*>(out.data())))
        throw ReadError(ReadError::Kind::Unreadable, path, std::string("cannot read the part ") + gsf_input_name(in));
    return out;
}

inline GsfPtr<GsfInput> OpenFile(const std::string& path) {
    GError* err = nullptr;
    GsfPtr<GsfInput> in(gsf_input_stdio_new(path.c_str(), &err));
    if (!in) throw ReadError(ReadError::Kind::Unreadable, path, TakeError(err, "cannot open the file"));
    return in;
}

} // namespace ecr::sheets::detail
