#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "rubo/detail/http_parser.h"

namespace {

using rubo::detail::Limits;
using rubo::detail::Method;
using rubo::detail::RequestParser;

// Small limits, so that every case near a limit stays short.
Limits SmallLimits() {
  Limits limits;
  limits.maxHeaderBytes = 256;
  limits.maxHeaderFields = 8;
  limits.maxBodyBytes = 64;
  limits.maxChunkLineBytes = 16;
  return limits;
}

enum class Result { kDone, kFailed, kIncomplete };

struct Outcome {
  Result result = Result::kIncomplete;
  unsigned status = 0;
  std::string body;
  std::string target;
  bool keepAlive = false;
  bool expectContinue = false;
  Method method = Method::kOther;
  std::size_t leftover = 0;  // bytes after the request
};

// Feeds the input `step` bytes at a time, as a connection would: the parser sees what is
// pending (not yet consumed), and consumed bytes leave.
Outcome Drive(const Limits& limits, std::string_view input, std::size_t step) {
  RequestParser parser(limits);
  std::string pending;
  std::size_t fed = 0;
  Outcome outcome;
  for (;;) {
    std::size_t consumed = 0;
    do {
      consumed = parser.Parse(pending);
      pending.erase(0, consumed);
    } while (consumed > 0 && parser.GetState() != RequestParser::State::kDone &&
             parser.GetState() != RequestParser::State::kFailed);
    if (parser.GetState() == RequestParser::State::kDone || parser.GetState() == RequestParser::State::kFailed ||
        fed == input.size()) {
      break;
    }
    const auto take = std::min(step, input.size() - fed);
    pending.append(input.substr(fed, take));
    fed += take;
  }
  if (parser.GetState() == RequestParser::State::kFailed) {
    outcome.result = Result::kFailed;
    outcome.status = parser.ErrorStatus();
    return outcome;
  }
  if (parser.GetState() != RequestParser::State::kDone) {
    return outcome;
  }
  const auto& request = parser.Request();
  outcome.result = Result::kDone;
  outcome.body = request.body;
  outcome.target = request.target;
  outcome.keepAlive = request.keepAlive;
  outcome.expectContinue = request.expectContinue;
  outcome.method = request.method;
  outcome.leftover = pending.size() + (input.size() - fed);
  return outcome;
}

struct ParseCase {
  const char* name;
  std::string input;
  Result result;
  unsigned status = 0;    // of a failure
  std::string body = {};  // of a complete request
  int keepAlive = -1;     // -1: not checked
  std::size_t leftover = 0;
};

const std::string kGet = "GET /a HTTP/1.1\r\nHost: x\r\n";

const ParseCase kCases[] = {
    // Well-formed requests.
    {"Get", kGet + "\r\n", Result::kDone, 0, "", 1},
    {"EmptyLinesBeforeRequest", "\r\n\r\n" + kGet + "\r\n", Result::kDone},
    {"Http10WithoutHost", "GET / HTTP/1.0\r\n\r\n", Result::kDone, 0, "", 0},
    {"Http10KeepAlive", "GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", Result::kDone, 0, "", 1},
    {"ConnectionClose", kGet + "Connection: foo, close\r\n\r\n", Result::kDone, 0, "", 0},
    {"ContentLengthBody", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello", Result::kDone, 0, "hello"},
    {"SameContentLengthTwice", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nContent-Length: 2\r\n\r\nok",
     Result::kDone, 0, "ok"},
    {"ChunkedWithExtensionsAndTrailer",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n4;a=b\r\nwiki\r\nA ; x\r\npedia-0123\r\n0\r\n"
     "X-T: 1\r\n\r\n",
     Result::kDone, 0, "wikipedia-0123"},
    {"ChunkLineAtLimit",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n1;abcdefghijkl\r\nz\r\n0\r\n\r\n", Result::kDone,
     0, "z"},
    {"Pipelined", kGet + "\r\n" + kGet + "\r\n", Result::kDone, 0, "", 1, kGet.size() + 2},
    {"ExpectContinue", "POST / HTTP/1.1\r\nHost: x\r\nExpect: 100-Continue\r\nContent-Length: 1\r\n\r\nz",
     Result::kDone, 0, "z"},
    {"Incomplete", kGet, Result::kIncomplete},
    // Framing two parsers could read differently.
    {"BareLineFeed", "GET / HTTP/1.1\nHost: x\n\n", Result::kFailed, 400},
    {"BareCarriageReturn", "GET / HTTP/1.1\r\nHost: x\ry\r\n\r\n", Result::kFailed, 400},
    {"SpaceBeforeColon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n", Result::kFailed, 400},
    {"FoldedLine", kGet + "X-A: 1\r\n 2\r\n\r\n", Result::kFailed, 400},
    {"FieldWithoutColon", kGet + "X-A\r\n\r\n", Result::kFailed, 400},
    {"ControlInValue", kGet + "X-A: a\x01z\r\n\r\n", Result::kFailed, 400},
    {"ContentLengthAndChunked",
     "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", Result::kFailed,
     400},
    {"TwoContentLengths", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc",
     Result::kFailed, 400},
    {"ContentLengthList", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2, 2\r\n\r\nab", Result::kFailed, 400},
    {"ContentLengthSigned", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: +2\r\n\r\nab", Result::kFailed, 400},
    {"ChunkedTwice", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n",
     Result::kFailed, 400},
    {"ChunkedInHttp10", "POST / HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", Result::kFailed, 400},
    {"UnknownCoding", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip, chunked\r\n\r\n", Result::kFailed, 501},
    {"BadChunkSize", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", Result::kFailed, 400},
    {"GarbageAfterChunkSize", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n5x\r\nhello\r\n",
     Result::kFailed, 400},
    {"NoLineEndAfterChunk", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabXY0\r\n\r\n",
     Result::kFailed, 400},
    {"BadTrailer", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n0\r\nno colon here\r\n\r\n",
     Result::kFailed, 400},
    // Request line.
    {"BadMethod", "GE(T / HTTP/1.1\r\nHost: x\r\n\r\n", Result::kFailed, 400},
    {"NoVersion", "GET /\r\nHost: x\r\n\r\n", Result::kFailed, 400},
    {"MalformedVersion", "GET / HTTP/1.1x\r\nHost: x\r\n\r\n", Result::kFailed, 400},
    {"OtherMajorVersion", "GET / HTTP/2.0\r\nHost: x\r\n\r\n", Result::kFailed, 505},
    {"ControlInTarget", "GET /a\x7f HTTP/1.1\r\nHost: x\r\n\r\n", Result::kFailed, 400},
    // Host.
    {"MissingHost", "GET / HTTP/1.1\r\n\r\n", Result::kFailed, 400},
    {"TwoHosts", kGet + "Host: y\r\n\r\n", Result::kFailed, 400},
    {"TwoHostsHttp10", "GET / HTTP/1.0\r\nHost: x\r\nHost: y\r\n\r\n", Result::kFailed, 400},
    {"OtherExpectation", kGet + "Expect: something\r\n\r\n", Result::kFailed, 417},
    // Limits.
    {"HeaderOverLimit", kGet + "X-Big: " + std::string(250, 'h') + "\r\n\r\n", Result::kFailed, 431},
    {"BareCarriageReturnInOversizedLine", kGet + "X-A: a\rb" + std::string(300, 'h') + "\r\n\r\n", Result::kFailed,
     400},
    {"CarriageReturnPastTheLimit", kGet + "X-A: " + std::string(240, 'h') + "\rb\r\n\r\n", Result::kFailed, 431},
    {"EndlessHeaderLine", kGet + "X-Big: " + std::string(400, 'h'), Result::kFailed, 431},
    {"TooManyFields", kGet + std::string("A: 1\r\nB: 1\r\nC: 1\r\nD: 1\r\nE: 1\r\nF: 1\r\nG: 1\r\nH: 1\r\n\r\n"),
     Result::kFailed, 431},
    {"ContentLengthOverLimit", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 65\r\n\r\n", Result::kFailed, 413},
    {"ContentLengthBeyond64Bits", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999999999999\r\n\r\n",
     Result::kFailed, 413},
    {"ChunkLineOverLimit",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n1;abcdefghijklm\r\nz\r\n0\r\n\r\n",
     Result::kFailed, 413},
    {"EndlessChunkExtension",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n1;" + std::string(100, 'e'), Result::kFailed,
     413},
    {"HugeChunkSize", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\nfffffffffffffffffff\r\n",
     Result::kFailed, 413},
    {"ChunksOverBodyLimit",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n20\r\n" + std::string(32, 'a') + "\r\n20\r\n" +
         std::string(32, 'b') + "\r\n0\r\n\r\n",
     Result::kFailed, 413},
    {"TrailerOverLimit",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n0\r\nX-T: " + std::string(250, 't') + "\r\n\r\n",
     Result::kFailed, 431},
    {"EndlessTrailer",
     "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n0\r\nX-T: " + std::string(400, 't'),
     Result::kFailed, 431},
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, WholeAndByteByByteAgree) {
  const auto& c = GetParam();
  const auto limits = SmallLimits();
  for (const std::size_t step : {c.input.size(), std::size_t{1}, std::size_t{7}}) {
    SCOPED_TRACE("step " + std::to_string(step));
    const auto outcome = Drive(limits, c.input, step);
    ASSERT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.status, c.status);
    if (c.result == Result::kDone) {
      EXPECT_EQ(outcome.body, c.body);
      EXPECT_EQ(outcome.leftover, c.leftover);
      if (c.keepAlive >= 0) {
        EXPECT_EQ(outcome.keepAlive, c.keepAlive == 1);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, ParseTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ParseRequestTest, RequestFieldsAndReset) {
  const auto limits = SmallLimits();
  RequestParser parser(limits);
  const std::string first = "POST /x/y?spec HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n";
  // The header alone completes the header and stops there, before the body.
  EXPECT_EQ(parser.Parse(first), first.size());
  EXPECT_TRUE(parser.HeaderComplete());
  EXPECT_TRUE(parser.ExpectsBody());
  EXPECT_EQ(parser.GetState(), RequestParser::State::kBody);
  EXPECT_EQ(parser.Request().method, Method::kPost);
  EXPECT_EQ(parser.Request().target, "/x/y?spec");
  EXPECT_TRUE(parser.Request().expectContinue);
  EXPECT_EQ(parser.Parse("ok"), 2u);
  EXPECT_EQ(parser.GetState(), RequestParser::State::kDone);
  EXPECT_EQ(parser.Request().body, "ok");

  parser.Reset();
  EXPECT_FALSE(parser.Started());
  EXPECT_EQ(parser.Parse(""), 0u);
  EXPECT_FALSE(parser.Started());
  const std::string second = "HEAD / HTTP/1.1\r\nHost: x\r\n\r\n";
  EXPECT_EQ(parser.Parse(second), second.size());
  EXPECT_EQ(parser.GetState(), RequestParser::State::kDone);
  EXPECT_EQ(parser.Request().method, Method::kHead);
  EXPECT_TRUE(parser.Request().body.empty());
  EXPECT_FALSE(parser.Request().expectContinue);
}

}  // namespace
