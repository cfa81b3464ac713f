// XML dialect: reading, writing, escapes, attribute lookup, malformed input and partial loading.
#include "report/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/error.h"
#include "core/variant.h"

namespace report {
namespace {

std::unique_ptr<TqdrXMLDocument> Parse(const std::string& body, bool partial = false,
                                       std::istringstream* keep = nullptr) {
  auto doc = std::make_unique<TqdrXMLDocument>();
  if (keep) {
    keep->str(body);
    doc->LoadFromStream(*keep, partial);
  } else {
    std::istringstream in(body);
    doc->LoadFromStream(in, partial);
  }
  return doc;
}

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

TEST(XmlReader, ElementForms) {
  struct Row {
    const char* name;
    const char* xml;
    const char* text;
  } rows[] = {{"attrs self-closing", "<a x=\"1\"/>", "x=\"1\""},
              {"bare self-closing", "<a/>", ""},
              {"empty pair", "<a></a>", ""},
              {"blank before slash", "<a x=\"1\" />", "x=\"1\""}};
  for (const Row& r : rows) {
    auto doc = Parse(kHeader + r.xml);
    EXPECT_EQ(doc->Root()->Name, "a") << r.name;
    EXPECT_EQ(doc->Root()->Text, r.text) << r.name;
    EXPECT_EQ(doc->Root()->Count(), 0) << r.name;
  }
}

TEST(XmlReader, CommentsAndTextAreSkipped) {
  auto doc = Parse(kHeader + "<root><!-- note <x> --><b/>hello<c a=\"2\"/></root>");
  ASSERT_EQ(doc->Root()->Count(), 2);
  EXPECT_EQ(doc->Root()->Items(0)->Name, "b");
  EXPECT_EQ(doc->Root()->Items(1)->Prop("a"), "2");
  // "--->" does not close a comment: the third dash resets the count.
  auto doc2 = Parse(kHeader + "<root><!-- a ---> still comment --><b/></root>");
  ASSERT_EQ(doc2->Root()->Count(), 1);
}

TEST(XmlReader, MalformedInputRaises) {
  struct Row {
    const char* name;
    std::string xml;
  } rows[] = {
      {"mismatched end tag", kHeader + "<root><b></c></root>"},
      {"no header", "<root/>"},
      {"empty file", ""},
      {"header only", kHeader},
      {"unclosed element", kHeader + "<root><b>"},
      {"truncated tag", kHeader + "<root><b x=\"1"},
      {"lt inside tag", kHeader + "<root <b/></root>"},
      {"unclosed comment", kHeader + "<root><!-- never closed"},
      {"stray end tag", kHeader + "</root>"},
      {"too deep", kHeader + std::string(20000, '<')},
  };
  for (const Row& r : rows) {
    try {
      Parse(r.xml);
      ADD_FAILURE() << r.name << ": no error";
    } catch (const core::Error& e) {
      EXPECT_STREQ(e.what(), "Invalid file format") << r.name;
    }
  }
  std::string deep = kHeader;
  for (int i = 0; i < 5000; ++i) deep += "<a>";
  EXPECT_THROW(Parse(deep), core::Error);
}

TEST(XmlReader, LongTagsCrossBufferBoundaries) {
  std::string value(10000, 'v');
  auto doc = Parse(kHeader + std::string(4090, ' ') + "<root a=\"" + value + "\"><!--" +
                   std::string(5000, '-') + "x--><b/></root>");
  EXPECT_EQ(doc->Root()->Prop("a"), value);
  EXPECT_EQ(doc->Root()->Count(), 1);
}

TEST(XmlEscape, RoundTrips) {
  struct Row {
    const char* name;
    std::string plain;
    std::string escaped;
  } rows[] = {
      {"specials", "a<b\"c\r\n", "a&#60;b&#34;c&#13;&#10;"},
      {"ampersand kept", "R&D", "R&D"},
      {"gt", "x>y", "x&#62;y"},
      {"high bytes pass", "\xCB\xCE\xCC\xE5", "\xCB\xCE\xCC\xE5"},
      {"empty", "", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(XmlEscape(r.plain), r.escaped) << r.name;
    EXPECT_EQ(XmlUnescape(r.escaped), r.plain) << r.name;
  }
  EXPECT_EQ(XmlEscape("&quot;"), "&#34;");
  EXPECT_EQ(XmlUnescape("&quot;x&quot;"), "\"x\"");
  EXPECT_EQ(XmlUnescape("a&"), "a&");
  EXPECT_EQ(XmlUnescape("&#65"), "&#65");  // no ';': left alone, no read past the end
  EXPECT_EQ(XmlUnescape("&#65;&#66;"), "AB");
  EXPECT_THROW(XmlUnescape("&#6x;"), core::Error);
}

TEST(XmlEscape, VariantToXml) {
  EXPECT_EQ(VariantToXml(core::Variant(true)), "1");
  EXPECT_EQ(VariantToXml(core::Variant(false)), "0");
  EXPECT_EQ(VariantToXml(core::Variant(int32_t(-42))), "-42");
  EXPECT_EQ(VariantToXml(core::Variant(1.5)), "1.5");
  EXPECT_EQ(VariantToXml(core::Variant("a\"b")), "a&#34;b");
  EXPECT_EQ(VariantToXml(core::Variant::MakeNull()), "");
}

TEST(XmlItem, PropLookupAndUpdate) {
  TqdrXMLItem item;
  item.Text = "Left=\"1\" Width=\"2\" Top=\"3\"";
  item.SetProp("Width", "5");
  EXPECT_EQ(item.Text, "Left=\"1\" Width=\"5\" Top=\"3\"");
  EXPECT_EQ(item.Prop("width"), "5");
  EXPECT_EQ(item.Prop("Height"), "");
  EXPECT_EQ(item.Prop("eft"), "");  // must start at an attribute boundary
  item.SetProp("Text", "a\"b");
  EXPECT_EQ(item.Text, "Left=\"1\" Width=\"5\" Top=\"3\" Text=\"a&#34;b\"");
  EXPECT_EQ(item.Prop("TEXT"), "a\"b");
}

TEST(XmlItem, TreeOperations) {
  TqdrXMLItem root;
  TqdrXMLItem* a = root.Add();
  a->Name = "a";
  TqdrXMLItem* b = root.FindItem("B");
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(root.FindItem("b"), b);
  EXPECT_EQ(root.Find("A"), 0);
  EXPECT_EQ(root.Find("zz"), -1);
  TqdrXMLItem* c = a->Add();
  root.InsertItem(0, c);  // moves c from a to the front of root
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(root.IndexOf(c), 0);
  EXPECT_EQ(c->Parent(), &root);
  delete b;  // removes itself from root
  EXPECT_EQ(root.Count(), 2);
}

TEST(XmlWriter, AutoIndentLayout) {
  TqdrXMLDocument doc;
  doc.AutoIndent = true;
  doc.Root()->Name = "root";
  doc.Root()->Add()->Name = "child";
  std::ostringstream out;
  doc.SaveToStream(out);
  EXPECT_EQ(out.str(), kHeader + "\r\n<root>\r\n  <child/>\r\n</root>\r\n");
  TqdrXMLDocument plain;
  plain.Root()->Name = "r";
  plain.Root()->Text = "a=\"1\"";
  plain.Root()->Add()->Name = "c";
  std::ostringstream out2;
  plain.SaveToStream(out2);
  EXPECT_EQ(out2.str(), kHeader + "<r a=\"1\"><c/></r>");
}

TEST(XmlDocument, PartialLoadingAndUnload) {
  const std::string xml = kHeader +
                          "<pages><page n=\"1\" ld=\"0\"><m a=\"x\"/><m a=\"y\"/></page>"
                          "<page ld=\"0\" n=\"2\"><m a=\"z\"/></page></pages>";
  std::istringstream keep;
  auto doc = Parse(xml, true, &keep);
  TqdrXMLItem* p1 = doc->Root()->Items(0);
  TqdrXMLItem* p2 = doc->Root()->Items(1);
  EXPECT_FALSE(p1->Loaded());
  EXPECT_EQ(p1->Count(), 0);
  EXPECT_EQ(p1->Text, "n=\"1\"");
  EXPECT_EQ(p2->Text, "n=\"2\"");
  doc->LoadItem(p2);
  ASSERT_EQ(p2->Count(), 1);
  EXPECT_EQ(p2->Items(0)->Prop("a"), "z");
  // Unload into the temporary file and read back.
  p2->Items(0)->SetProp("a", "changed");
  doc->UnloadItem(p2);
  EXPECT_FALSE(p2->Loaded());
  std::string temp = doc->TempFileName();
  EXPECT_TRUE(std::filesystem::exists(temp));
  doc->LoadItem(p2);
  ASSERT_EQ(p2->Count(), 1);
  EXPECT_EQ(p2->Items(0)->Prop("a"), "changed");
  // Writing writes unloaded items in full.
  std::ostringstream out;
  doc->SaveToStream(out);
  EXPECT_EQ(out.str(), kHeader +
                           "<pages><page n=\"1\" ld=\"0\"><m a=\"x\"/><m a=\"y\"/></page>"
                           "<page n=\"2\" ld=\"0\"><m a=\"changed\"/></page></pages>");
  EXPECT_FALSE(p1->Loaded());
  doc->Clear();
  EXPECT_FALSE(std::filesystem::exists(temp));
  // Without partial loading everything is read and the marks are dropped.
  auto full = Parse(xml);
  EXPECT_EQ(full->Root()->Items(0)->Count(), 2);
  EXPECT_EQ(full->Root()->Items(1)->Text, "n=\"2\"");
}

TEST(XmlReader, StreamLeftAfterLastConsumedByte) {
  std::istringstream in(kHeader + "<a/>TAIL");
  TqdrXMLDocument doc;
  doc.LoadFromStream(in);
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "TAIL");
}

}  // namespace
}  // namespace report
