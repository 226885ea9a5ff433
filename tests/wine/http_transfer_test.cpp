#include "check/http_transfer_win.h"

#include <gtest/gtest.h>

#include <thread>

#include "test_support_win.h"
#include "util/file_io_win.h"

namespace {

void Touch(const Text& path) {
  unique_hfile file(::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << TextToAscii(path);
}

}  // namespace

TEST(DeleteWorkingFiles, DeletesOnlyWorkingFilesAndThenTheEmptyFolder) {
  ScratchDirectory scratch(u"working_files");
  const Text& dir = scratch.Path();
  for (const char16_t* name : {u"1.tmp", u"2.TMP", u"page.html", u"page.html.list", u"keep.tmpl", u"keep.xml"})
    Touch(dir + name);

  DeleteWorkingFiles(dir, true);
  EXPECT_FALSE(FileExists(dir + u"1.tmp"));
  EXPECT_FALSE(FileExists(dir + u"2.TMP"));
  EXPECT_FALSE(FileExists(dir + u"page.html.list"));
  EXPECT_TRUE(FileExists(dir + u"page.html"));
  EXPECT_TRUE(FileExists(dir + u"keep.tmpl"));  // a longer extension is no working file
  EXPECT_TRUE(FileExists(dir + u"keep.xml"));

  DeleteWorkingFiles(dir, false);
  EXPECT_FALSE(FileExists(dir + u"page.html"));
  EXPECT_NE(::GetFileAttributesW(W(dir)), INVALID_FILE_ATTRIBUTES);  // still holds the others

  ::DeleteFileW(W(dir + u"keep.tmpl"));
  ::DeleteFileW(W(dir + u"keep.xml"));
  DeleteWorkingFiles(dir.substr(0, dir.size() - 1), false);  // without the final backslash too
  EXPECT_EQ(::GetFileAttributesW(W(dir)), INVALID_FILE_ATTRIBUTES);
}

TEST(TransferControl, CancelIsRememberedOnceAndSendHandsTheRequestBack) {
  auto control = TransferControl::Create();
  ASSERT_TRUE(control);
  EXPECT_TRUE(control->WaitFinished(0));  // no worker: nothing to wait for
  EXPECT_FALSE(control->IsCancelled());

  // Outside a cancel the lent request comes back to the worker.
  unique_hinternet session(::InternetOpenW(L"pelun", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  ASSERT_TRUE(session);
  EXPECT_TRUE(control->BeginSend(session.get()));
  EXPECT_EQ(control->EndSend(), session.get());

  // During a send the canceller takes it and closes it; the worker gets nothing back.
  EXPECT_TRUE(control->BeginSend(session.release()));
  control->Cancel();
  control->Cancel();
  EXPECT_TRUE(control->IsCancelled());
  EXPECT_EQ(control->EndSend(), nullptr);

  // After a cancel nothing may be sent, and the request comes back to be closed by its owner.
  unique_hinternet late(::InternetOpenW(L"pelun", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  EXPECT_FALSE(control->BeginSend(late.get()));
  EXPECT_EQ(control->EndSend(), late.get());

  // A started worker is waited for, with a limit, until it marks its end from another thread.
  control->MarkStarted();
  EXPECT_FALSE(control->WaitFinished(20));
  std::thread worker([&] {
    ::Sleep(50);
    control->MarkFinished();
  });
  EXPECT_TRUE(control->WaitFinished(10000));
  worker.join();
}

TEST(FetchNow, ReadsLocalFilesInPlaceAndRefusesMissingAddresses) {
  ScratchDirectory scratch(u"fetch_now");
  ASSERT_TRUE(ReplaceFileContents(scratch.Path() + u"a b.xml", "<rss/>"));
  FetchRequest request;
  Text url = u"file:///" + scratch.Path() + u"a%20b.xml";
  for (char16_t& c : url)
    if (c == u'\\') c = u'/';
  request.url = url;
  Text error;
  const auto result = FetchNow(request, &error);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200u);
  EXPECT_EQ(result->body, "<rss/>");
  EXPECT_TRUE(FileExists(scratch.Path() + u"a b.xml")) << "read where it is, never moved";

  request.url = u"http://";  // no host: nothing to connect to
  EXPECT_FALSE(FetchNow(request, &error));
  EXPECT_EQ(error, u"");
}
