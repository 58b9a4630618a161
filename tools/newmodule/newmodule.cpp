// Placeholder replacement of template lines.
#include "newmodule.h"

namespace {

void replace_all(std::string& line, const std::string& placeholder, const std::string& with) {
    std::size_t from = 0;
    for (;;) {
        std::size_t p = line.find(placeholder, from);
        if (p == std::string::npos) return;
        line.replace(p, placeholder.size(), with);
        from = p + with.size();
    }
}

}  // namespace

bool newmodule_valid_name(const std::string& name) {
    static const char* const kKeywords[] = {
        "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break", "case", "catch",
        "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept", "const", "consteval", "constexpr",
        "constinit", "const_cast", "continue", "co_await", "co_return", "co_yield", "decltype", "default", "delete",
        "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern", "false", "float", "for",
        "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
        "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
        "requires", "return", "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct",
        "switch", "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid", "typename",
        "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq"};
    if (name.empty() || name.size() > 200) return false;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!letter(name[0])) return false;
    for (char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9')) return false;
    for (const char* k : kKeywords)
        if (name == k) return false;
    return true;
}

std::string newmodule_replace(const std::string& line, const std::string& name) {
    std::string out = line;
    replace_all(out, "%%MODULE_NAME%%", name);
    replace_all(out, "%%TAB%%", "\t");
    return out;
}
