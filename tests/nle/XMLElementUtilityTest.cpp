#include "nle/XMLElementUtility.h"

#include <gtest/gtest.h>

using namespace XMLElementUtility;

TEST(XMLElementUtility, ReadsChildrenByPathWithLeadingIntegerRule) {
    const Document doc = parseDocument(
        QStringLiteral("<root><a><b>12abc</b><b>7</b><c>x</c><d> 2.5 </d></a></root>"));
    ASSERT_TRUE(doc);
    const pugi::xml_node root = doc->document_element();
    EXPECT_EQ(childInt(root, "a/b"), 12);
    EXPECT_EQ(childInt(root, "a/c"), 0);
    EXPECT_EQ(childInt(root, "a/missing"), 0);
    EXPECT_DOUBLE_EQ(childDouble(root, "a/d"), 2.5);
    EXPECT_EQ(childText(root, "a/missing"), QString());
    EXPECT_EQ(nodes(root, "a/b").size(), 2u);
    // A malformed path selects nothing instead of throwing.
    EXPECT_FALSE(firstNode(root, "a/[["));
}

TEST(XMLElementUtility, RefusesTextThatIsNotXml) {
    for (const char* text : {"", "not xml", "<open>", "<?xml version=\"1.0\"?>"}) {
        EXPECT_FALSE(parseDocument(QString::fromUtf8(text))) << text;
    }
}

TEST(XMLElementUtility, WritingBackKeepsDoctypeAndCarriageReturns) {
    const Document doc =
        parseDocument(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE "
                                     "xmeml>\n<xmeml><v>a&#13;b</v></xmeml>"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(childText(doc->document_element(), "v"), QStringLiteral("a\rb"));
    const QString written = serialize(*doc);
    EXPECT_TRUE(written.contains(QStringLiteral("<!DOCTYPE xmeml>")));
    EXPECT_EQ(written.count(QStringLiteral("<?xml")), 1);
    const Document again = parseDocument(written);
    ASSERT_TRUE(again);
    EXPECT_EQ(childText(again->document_element(), "v"), QStringLiteral("a\rb"));
}

TEST(XMLElementUtility, CopiedElementIsIndependent) {
    const Document doc = parseDocument(QStringLiteral("<r><item id=\"x\"><v>1</v></item></r>"));
    const Document copy = copyElement(doc->document_element().child("item"));
    ASSERT_TRUE(copy);
    ASSERT_TRUE(setChildText(copy->document_element(), "v", QStringLiteral("2")));
    EXPECT_EQ(childText(doc->document_element(), "item/v"), QStringLiteral("1"));
    EXPECT_EQ(childText(copy->document_element(), "v"), QStringLiteral("2"));
    EXPECT_FALSE(setChildText(copy->document_element(), "missing", QStringLiteral("3")));
}
