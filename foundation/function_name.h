#pragma once
// "Class::method" of the enclosing function, computed at compile time from
// GCC's __PRETTY_FUNCTION__ ("static void ns::Class::method(int) const"):
// the return type, namespaces, parameters and template bindings are dropped.
#include <cstddef>

namespace function_name {

template <size_t N>
struct Text {
    char text[N] = {};
    constexpr const char* c_str() const { return text; }
};

constexpr size_t length(const char* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

constexpr bool startsWith(const char* s, size_t at, size_t end, const char* what) {
    for (size_t i = 0; what[i]; ++i) {
        if (at + i >= end || s[at + i] != what[i]) return false;
    }
    return true;
}

template <size_t N>
constexpr Text<N> classMethod(const char (&pretty)[N]) {
    Text<N> out{};
    size_t end = length(pretty);
    // Drop " [with T = ...]".
    for (size_t i = 0; i < end; ++i) {
        if (startsWith(pretty, i, end, " [with ")) { end = i; break; }
    }
    // The parameter list: the last ')' and the '(' that matches it.
    size_t close = end;
    while (close > 0 && pretty[close - 1] != ')') --close;
    if (close == 0) {  // no parameter list at all: keep the text
        for (size_t i = 0; i < end; ++i) out.text[i] = pretty[i];
        return out;
    }
    size_t open = close - 1;
    int depth = 0;
    for (size_t i = close; i-- > 0;) {
        if (pretty[i] == ')') ++depth;
        else if (pretty[i] == '(' && --depth == 0) { open = i; break; }
    }
    // The qualified name: back to a blank outside brackets.
    size_t begin = open;
    depth = 0;
    while (begin > 0) {
        char c = pretty[begin - 1];
        if (c == '>' || c == ')') ++depth;
        else if (c == '<' || c == '(') --depth;
        else if (c == ' ' && depth <= 0) break;
        --begin;
    }
    // Keep the last two components ("Class::method").
    size_t keep = begin;
    int seps = 0;
    depth = 0;
    for (size_t i = open; i-- > begin + 1;) {
        char c = pretty[i];
        if (c == '>' || c == ')') ++depth;
        else if (c == '<' || c == '(') --depth;
        else if (depth == 0 && c == ':' && pretty[i - 1] == ':') {
            if (++seps == 2) { keep = i + 1; break; }
        }
    }
    size_t n = 0;
    for (size_t i = keep; i < open; ++i) out.text[n++] = pretty[i];
    return out;
}

}  // namespace function_name

// The enclosing function as "Class::method", a narrow constant. Used
// as a statement: declares kestrune_function_ in the current scope.
#define KESTRUNE_DECLARE_FUNCTION_NAME \
    static constexpr auto kestrune_function_ = ::function_name::classMethod(__PRETTY_FUNCTION__)
