#pragma once
// JSON text written straight into one buffer: the pages' state is made after
// every tick while a page is open, and Qt's JSON objects cost several times
// the tick itself. Texts come in as the program keeps them, 8-bit Latin-1,
// and go out as UTF-8 with every character JSON reserves escaped.

#include <QByteArray>
#include <string_view>

namespace blokpost {

class JsonText {
public:
    JsonText& beginObject() { return open('{'); }
    JsonText& endObject() { return close('}'); }
    JsonText& beginArray() { return open('['); }
    JsonText& endArray() { return close(']'); }
    // The name of the next member of an object.
    JsonText& key(std::string_view name);
    JsonText& value(std::string_view latin1);
    JsonText& value(const char* latin1) { return value(std::string_view(latin1)); }
    JsonText& value(long long number);
    JsonText& value(int number) { return value(static_cast<long long>(number)); }
    JsonText& value(bool yes);
    const QByteArray& text() const { return text_; }

private:
    JsonText& open(char bracket);
    JsonText& close(char bracket);
    void separate();
    void quoted(std::string_view latin1);

    QByteArray text_;
    bool first_ = true;     // no member or element yet in the innermost object or array
    bool afterKey_ = false;  // a value follows its key without a comma
};

}  // namespace blokpost
