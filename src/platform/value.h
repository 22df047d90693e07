// The tagged value of automation interfaces: empty, 16- and 32-bit whole
// numbers, double, currency, text (UTF-8 inside the library), date, Boolean,
// object reference, Null, or a missing optional argument. Conversions follow
// the platform's own rules: a conversion that cannot be made raises 13, one
// out of range raises 6, Null where a value is needed raises 94.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "platform/date.h"

namespace qx {

// Base of every object a value can refer to. Objects are shared: the same
// object handed out twice is the same object.
class Object {
public:
    Object() = default;
    // A copy is a new object: it has no wrapper of its own yet.
    Object(const Object&) noexcept {}
    Object& operator=(const Object&) noexcept { return *this; }
    virtual ~Object() = default;

    // The one wrapper through which a host sees this object, so that the
    // same object always reaches the host as the same wrapper. The library
    // never reads or interprets it. Contract: the automation server sets it
    // when it makes the wrapper (which holds a strong reference to this
    // object, so this object outlives it) and clears it to null when that
    // wrapper is destroyed. Only the thread the object belongs to touches it.
    void* hostWrapper() const noexcept { return hostWrapper_; }
    void setHostWrapper(void* wrapper) noexcept { hostWrapper_ = wrapper; }

private:
    void* hostWrapper_ = nullptr;
};
using ObjectRef = std::shared_ptr<Object>;

// 64-bit fixed point with four decimals.
struct Currency {
    int64_t ticks = 0;  // amount times 10,000

    // Rounds to the nearest ten-thousandth, a half to the even neighbour; 6 when out of range.
    static Currency fromDouble(double amount);
    double toDouble() const { return static_cast<double>(ticks) / 10000.0; }
    friend bool operator==(Currency a, Currency b) { return a.ticks == b.ticks; }
};

enum class ValueKind : uint8_t {
    Empty,
    Integer16,
    Integer32,
    Double,
    Currency,
    Text,
    Date,
    Boolean,
    Object,
    Null,    // the database null a host may send
    Missing  // an optional argument the host left out
};

class Value {
public:
    Value() noexcept = default;
    Value(int16_t v) : data_(v) {}
    Value(int32_t v) : data_(v) {}
    Value(double v) : data_(v) {}
    Value(Currency v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(std::string_view v) : data_(std::string(v)) {}
    Value(const char* v) : data_(std::string(v)) {}
    Value(Date v) : data_(v) {}
    Value(bool v) : data_(v) {}
    Value(ObjectRef v) : data_(std::move(v)) {}
    template <class T>
    Value(std::shared_ptr<T> v) : data_(ObjectRef(std::move(v))) {}

    static Value null() { return Value(NullTag{}); }
    static Value missing() { return Value(MissingTag{}); }

    ValueKind kind() const noexcept { return static_cast<ValueKind>(data_.index()); }
    bool isEmpty() const noexcept { return kind() == ValueKind::Empty; }
    bool isNull() const noexcept { return kind() == ValueKind::Null; }
    bool isMissing() const noexcept { return kind() == ValueKind::Missing; }
    // Integer16, Integer32, Double or Currency.
    bool isNumber() const noexcept;

    // Strict conversions. Empty converts to 0, the empty text and the zero
    // date; Null raises 94, a missing argument and an object raise 13.
    double toDouble() const;      // a text in the local number format
    Date toDate() const;          // a "dd/mm/yyyy" or "yyyy-mm-dd" text; 6 out of range
    std::string toText() const;   // numbers with the local decimal separator
    int16_t toInt16() const;      // halves to even; 6 out of range
    int32_t toInt32() const;      // halves to even; 6 out of range
    Currency toCurrency() const;  // halves to even at the fourth decimal; 6 out of range
    bool toBool() const;

    // Raw access; the kind must match.
    const std::string& text() const { return std::get<std::string>(data_); }
    double doubleValue() const { return std::get<double>(data_); }
    Date dateValue() const { return std::get<Date>(data_); }
    const ObjectRef& object() const { return std::get<ObjectRef>(data_); }

    // Numbers of every kind (dates and Booleans included) compare by numeric
    // value, so the whole number 0 of a fresh rubric equals the double 0.
    // Empty equals 0 and the empty text. Texts compare exactly; objects by
    // identity; a text never equals a number; Null and a missing argument
    // equal nothing.
    friend bool operator==(const Value& a, const Value& b);

private:
    struct NullTag {};
    struct MissingTag {};
    explicit Value(NullTag v) : data_(v) {}
    explicit Value(MissingTag v) : data_(v) {}

    // In the order of ValueKind.
    std::variant<std::monostate, int16_t, int32_t, double, Currency, std::string, Date, bool,
                 ObjectRef, NullTag, MissingTag>
        data_;
};

// The platform's default text of a double: general form, at most 15
// significant digits, no trailing zeros, the given decimal separator.
std::string formatDouble(double x, std::string_view decimalSeparator);

// Reads a whole text as a number in the local format (blanks around, a sign,
// group separators, the local decimal separator, an exponent). Raises 13 when
// the text is not a number and 6 when it is beyond the double range.
double parseLocalNumber(std::string_view text);

// Whether the whole text reads as a number in the local format.
bool isNumericText(std::string_view text);

}  // namespace qx
