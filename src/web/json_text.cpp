#include "web/json_text.h"

namespace blokpost {

void JsonText::separate() {
    if (!first_ && !afterKey_) text_ += ',';
    first_ = false;
    afterKey_ = false;
}

JsonText& JsonText::open(char bracket) {
    separate();
    text_ += bracket;
    first_ = true;
    return *this;
}

JsonText& JsonText::close(char bracket) {
    text_ += bracket;
    first_ = false;
    return *this;
}

void JsonText::quoted(std::string_view latin1) {
    static constexpr char kHex[] = "0123456789abcdef";
    text_ += '"';
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            text_ += '\\';
            text_ += c;
        } else if (byte < 0x20) {
            text_ += "\\u00";
            text_ += kHex[byte >> 4];
            text_ += kHex[byte & 0xF];
        } else if (byte < 0x80) {
            text_ += c;
        } else {  // a Latin-1 letter is one code point below 256: two bytes of UTF-8
            text_ += static_cast<char>(0xC0 | (byte >> 6));
            text_ += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    text_ += '"';
}

JsonText& JsonText::key(std::string_view name) {
    separate();
    quoted(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonText& JsonText::value(std::string_view latin1) {
    separate();
    quoted(latin1);
    return *this;
}

JsonText& JsonText::value(long long number) {
    separate();
    text_ += QByteArray::number(number);
    return *this;
}

JsonText& JsonText::value(bool yes) {
    separate();
    text_ += yes ? "true" : "false";
    return *this;
}

}  // namespace blokpost
