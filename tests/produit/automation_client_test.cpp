// The late-binding client against a component every Windows has (the
// scripting runtime's dictionary), so that what is checked here does not
// depend on our own product.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/automation_client.h"
#include "support/outils.h"

namespace qx {
namespace {

using test::erreurDe;

std::shared_ptr<AutomationObject> dictionnaire() {
    return AutomationObject::create("Scripting.Dictionary");
}

// Every kind of value goes to the object and comes back unchanged.
TEST(AutomationClientTest, ValuesOfEveryKindComeBackUnchanged) {
    auto d = dictionnaire();
    auto autre = dictionnaire();
    const std::string lone = "\xED\xA0\xBD";  // a lone surrogate, as UTF-16 may hold
    const Value valeurs[] = {
        Value(),
        Value(static_cast<int16_t>(-32768)),
        Value(static_cast<int32_t>(2147483647)),
        Value(1234.5678),
        Value(Currency{-922337203685477LL * 10000 - 5808}),
        Value("Soci\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80" + lone + "fin"),
        Value(std::string(100000, 'x')),
        Value(""),
        Value(Date{fromCivil(2024, 2, 29).serial + 0.75}),
        Value(true),
        Value(false),
        Value::null(),
        Value(autre),
    };
    int32_t cle = 0;
    for (const Value& v : valeurs) d->call("Add", {++cle, v});
    EXPECT_EQ(d->get("Count").toInt32(), cle);
    cle = 0;
    for (const Value& v : valeurs) {
        SCOPED_TRACE(++cle);
        const Value lu = d->get("Item", {cle});
        EXPECT_EQ(lu.kind(), v.kind());
        if (v.isNull()) continue;
        if (v.kind() == ValueKind::Object) {
            // The same object, not a copy.
            EXPECT_EQ(AutomationObject::of(lu)->dispatch(), autre->dispatch());
            continue;
        }
        EXPECT_TRUE(lu == v);
        if (v.kind() == ValueKind::Text) {
            EXPECT_EQ(lu.text(), v.text());
        }
    }
}

TEST(AutomationClientTest, FailuresCarryTheNumberTheHostLanguageWouldSee) {
    auto d = dictionnaire();
    d->call("Add", {"a", 1});
    struct Cas {
        const char* quoi;
        std::function<void()> appel;
        int32_t numero;
    };
    const Cas cas[] = {
        {"duplicate key",
         [&] {
             d->call("Add", {"a", 2});
         },
         err::CleExistante},
        {"unknown member",
         [&] {
             d->call("Ajouter", {"b", 2});
         },
         err::MembreInconnu},
        {"argument missing", [&] { d->call("Add", {"b"}); }, err::NombreArguments},
        {"object given a number", [&] { AutomationObject::of(Value(3)); }, err::TypeIncompatible},
        {"class name that is no ProgID", [] { AutomationObject::create(""); }, err::CreationObjet},
    };
    for (const auto& c : cas) {
        const Error e = erreurDe(c.appel);
        EXPECT_EQ(e.number(), c.numero) << c.quoi;
        EXPECT_FALSE(e.description().empty()) << c.quoi;
    }
    // The member's name is in the message of an unknown member.
    EXPECT_NE(erreurDe([&] { d->get("Ajouter"); }).description().find("Ajouter"),
              std::string::npos);
    // Nothing was added by the failures.
    EXPECT_EQ(d->get("Count").toInt32(), 1);
}

}  // namespace
}  // namespace qx
