#include <gtest/gtest.h>

#include "platform/collection.h"
#include "support/outils.h"

namespace qx {
namespace {

struct Member : Object {
    explicit Member(int id) : id(id) {}
    int id;
};

using test::errorOf;

// The members' ids in iteration order.
std::string ids(const Collection<Member>& c) {
    std::string out;
    for (const auto& m : c) out += std::to_string(m->id);
    return out;
}

TEST(CollectionTest, PositionsCloseUpKeysIgnoreCaseAndBadIndexesChangeNothing) {
    Collection<Member> c;
    c.add(std::make_shared<Member>(1), "Élan");
    c.addKeyed(std::make_shared<Member>(2), "");
    for (int i = 3; i <= 4; ++i) c.add(std::make_shared<Member>(i));  // no clash with ""
    // The same object comes back every time.
    EXPECT_EQ(c.item(Value("éLAN")).get(), c.item(Value(int32_t{1})).get());
    EXPECT_EQ(errorOf([&] { c.add(std::make_shared<Member>(5), "ÉLAN"); }), err::CleExistante);
    EXPECT_EQ(errorOf([&] { c.addKeyed(std::make_shared<Member>(5), ""); }), err::CleExistante);
    c.remove(Value(int32_t{1}));
    EXPECT_EQ(c.item(Value(1.0))->id, 2);
    c.remove(Value(""));
    EXPECT_TRUE(ids(c) == "34" && !c.hasKey("") && !c.hasKey("élan"));
    // clang-format off
    const std::pair<Value, int32_t> cases[] = {
        {Value(int32_t{0}), err::HorsSelection}, {Value(3.0), err::HorsSelection},
        {Value("b"), err::AppelIncorrect}, {Value(c.item(Value(1.0))), err::TypeIncompatible},
        {Value(ObjectRef()), err::ObjetNonDefini}};
    // clang-format on
    for (const auto& [index, erreur] : cases) {
        EXPECT_EQ(errorOf([&] { c.item(index); }), erreur);
        EXPECT_EQ(errorOf([&] { c.remove(index); }), erreur);
        EXPECT_EQ(c.find(index), nullptr);
    }
    EXPECT_EQ(ids(c), "34");
}

}  // namespace
}  // namespace qx
