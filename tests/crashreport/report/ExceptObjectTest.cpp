#include "KroExceptObject.h"
#include "KroException.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <sys/mman.h>

namespace {

struct PlainThing {
    int Value = 7;
};

class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A class deriving from std::exception twice over (through two bases) cannot be caught as std::exception.
struct TwiceA : std::exception {};
struct TwiceB : std::exception {};
struct Twice : TwiceA, TwiceB {};

} // namespace

TEST(ExceptObjectTest, MessageComesFromKroExceptionsAndStandardExceptions) {
    const KroException Kro("Range check error");
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Kro)), "Range check error");
    const LoadError Load("server_db.dat is missing");
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Load)), "server_db.dat is missing");
    // Through a reference to the base, the dynamic type still decides.
    const std::exception& AsBase = Load;
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(AsBase)), "server_db.dat is missing");
}

TEST(ExceptObjectTest, OtherObjectsGiveTheirClassNameAndNothingGivesUnknown) {
    const PlainThing Thing;
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Thing)), "(anonymous namespace)::PlainThing");
    const int Number = 5;
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Number)), "int");
    EXPECT_EQ(ExceptMessageText(TExceptObject{}), "Unknown");
    EXPECT_EQ(ExceptClassText(TExceptObject{}), "Unknown");
    const KroException Empty("");
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Empty)), "Unknown");
    const Twice Ambiguous;
    EXPECT_EQ(ExceptMessageText(TExceptObject::Of(Ambiguous)), "(anonymous namespace)::Twice");
}

TEST(ExceptObjectTest, ClassNamesAreMatchedOnTheClassAndEveryAncestor) {
    const LoadError Load("x");
    const TExceptObject Object = TExceptObject::Of(Load);
    EXPECT_EQ(ExceptClassText(Object), "(anonymous namespace)::LoadError");
    EXPECT_TRUE(IsClassNamed(Object, "(anonymous namespace)::LoadError"));
    EXPECT_TRUE(IsClassNamed(Object, "std::runtime_error"));
    EXPECT_TRUE(IsClassNamed(Object, "std::exception"));
    EXPECT_FALSE(IsClassNamed(Object, "std::logic_error"));
    EXPECT_FALSE(IsClassNamed(Object, "std::exceptio"));
    const Twice Ambiguous;
    EXPECT_TRUE(IsClassNamed(TExceptObject::Of(Ambiguous), "(anonymous namespace)::TwiceB"));
    EXPECT_TRUE(IsClassNamed(TExceptObject::Of(KroException("k")), "KroException"));
    EXPECT_FALSE(IsClassNamed(TExceptObject{}, "KroException"));
}

TEST(ExceptObjectTest, AnObjectOrTypeThatCannotBeReadGivesUnknownInsteadOfAFault) {
    // A page that exists but cannot be read: the object of an exception already freed, or a wild pointer.
    void* Page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(Page, MAP_FAILED);
    const TExceptObject Gone{Page, &typeid(LoadError)};
    EXPECT_EQ(ExceptMessageText(Gone), "Unknown");
    const TExceptObject GoneKro{Page, &typeid(KroException)};
    EXPECT_EQ(ExceptMessageText(GoneKro), "Unknown");
    const int Value = 1;
    const TExceptObject BadType{&Value, static_cast<const std::type_info*>(Page)};
    EXPECT_EQ(ExceptClassText(BadType), "Unknown");
    EXPECT_EQ(ExceptMessageText(BadType), "Unknown");
    EXPECT_FALSE(IsClassNamed(BadType, "int"));
    munmap(Page, 4096);
}
