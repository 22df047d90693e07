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

TEST(CollectionTest, PositionsFollowAddingAndCloseUpAfterRemoval) {
    Collection<Member> c;
    for (int i = 1; i <= 4; ++i) c.add(std::make_shared<Member>(i), i == 2 ? "deux" : "");
    EXPECT_EQ(c.count(), 4);
    EXPECT_EQ(c.item(Value(int32_t{2}))->id, 2);
    c.remove(Value(int32_t{1}));
    EXPECT_EQ(c.item(Value(int32_t{1}))->id, 2);
    c.remove(Value("DEUX"));
    EXPECT_EQ(c.count(), 2);
    EXPECT_EQ(c.item(Value(1.0))->id, 3);
    EXPECT_FALSE(c.hasKey("deux"));
    std::vector<int> order;
    for (const auto& m : c) order.push_back(m->id);
    EXPECT_EQ(order, (std::vector<int>{3, 4}));
}

TEST(CollectionTest, KeysIgnoreCaseOfAsciiAndLatinLetters) {
    Collection<Member> c;
    c.add(std::make_shared<Member>(1), "Élan");
    EXPECT_EQ(c.item(Value("éLAN"))->id, 1);
    EXPECT_EQ(errorOf([&] { c.add(std::make_shared<Member>(2), "ÉLAN"); }), err::CleExistante);
    EXPECT_EQ(c.count(), 1);
    // The same object comes back every time.
    EXPECT_EQ(c.item(Value("élan")).get(), c.item(Value(int32_t{1})).get());
}

TEST(CollectionTest, ErrorsOfBadIndexes) {
    Collection<Member> c;
    c.add(std::make_shared<Member>(1), "a");
    struct Case {
        Value index;
        int32_t error;
    } cases[] = {
        {Value(int32_t{0}), err::HorsSelection},
        {Value(int32_t{2}), err::HorsSelection},
        {Value(-1.0), err::HorsSelection},
        {Value("b"), err::AppelIncorrect},
        {Value(), err::AppelIncorrect},
        {Value(std::make_shared<Member>(9)), err::TypeIncompatible},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(errorOf([&] { c.item(k.index); }), k.error);
        EXPECT_EQ(errorOf([&] { c.remove(k.index); }), k.error);
        EXPECT_EQ(c.find(k.index), nullptr);
    }
    EXPECT_EQ(c.count(), 1);
}

}  // namespace
}  // namespace qx

namespace qx {
namespace {

TEST(CollectionTest, TheEmptyTextCanBeAKey) {
    Collection<Member> c;
    c.addKeyed(std::make_shared<Member>(1), "");
    c.add(std::make_shared<Member>(2));  // without a key: no clash
    EXPECT_EQ(errorOf([&] { c.addKeyed(std::make_shared<Member>(3), ""); }), err::CleExistante);
    EXPECT_EQ(c.item(Value(""))->id, 1);
    c.remove(Value(""));
    EXPECT_EQ(c.count(), 1);
    EXPECT_EQ(c.item(Value(int32_t{1}))->id, 2);
    EXPECT_FALSE(c.hasKey(""));
}

}  // namespace
}  // namespace qx
