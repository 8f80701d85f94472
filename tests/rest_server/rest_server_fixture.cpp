#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {

SOMEIP_RESPONSE_TYPE FakeCommMngr::TellSomeIpToUpdate_SwitchControls(const std::string& type,
                                                                     const ara::core::Optional<std::string>& value) {
  return Write("SwitchControls(" + type + "," + Show(value) + ")");
}

SOMEIP_RESPONSE_TYPE FakeCommMngr::TellSomeIpToUpdate_ValueControls(
    const std::string& type, const ara::core::Optional<std::uint32_t>& value,
    const ara::core::Optional<std::string>& specialState) {
  return Write("ValueControls(" + type + "," + Show(value) + "," + Show(specialState) + ")");
}

SOMEIP_RESPONSE_TYPE FakeCommMngr::TellSomeIpToUpdate_Views(const std::string& type,
                                                            const ara::core::Optional<std::string>& content,
                                                            const ara::core::Optional<std::string>& visibility) {
  return Write("Views(" + type + "," + Show(content) + "," + Show(visibility) + ")");
}

SOMEIP_RESPONSE_TYPE FakeCommMngr::TellSomeIpToUpdate_pastErrorInformation(
    const std::string& type, const ara::core::Optional<bool>& confirmedByUser) {
  return Write("pastErrorInformation(" + type + "," + Show(confirmedByUser) + ")");
}

SOMEIP_RESPONSE_TYPE FakeCommMngr::TellSomeIpToUpdate_ResetStatus(const ara::core::Optional<std::string>& reset) {
  return Write("ResetStatus(" + Show(reset) + ")");
}

void FakeCommMngr::TellSomeIpToStartListener() {
  std::function<void()> onStart;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back("StartListener()");
    onStart = onStartListener_;
  }
  changed_.notify_all();
  if (onStart) {
    onStart();
  }
}

void FakeCommMngr::SetDefault(SOMEIP_RESPONSE_TYPE result) {
  std::lock_guard lock(mutex_);
  default_ = result;
}

void FakeCommMngr::Script(std::vector<SOMEIP_RESPONSE_TYPE> results) {
  std::lock_guard lock(mutex_);
  script_.assign(results.begin(), results.end());
}

void FakeCommMngr::SetBeforeWrite(std::function<void(const std::string& call)> beforeWrite) {
  std::lock_guard lock(mutex_);
  beforeWrite_ = std::move(beforeWrite);
}

void FakeCommMngr::SetOnStartListener(std::function<void()> onStart) {
  std::lock_guard lock(mutex_);
  onStartListener_ = std::move(onStart);
}

std::vector<std::string> FakeCommMngr::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakeCommMngr::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

bool FakeCommMngr::WaitForCalls(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return calls_.size() >= count; });
}

SOMEIP_RESPONSE_TYPE FakeCommMngr::Write(std::string call) {
  SOMEIP_RESPONSE_TYPE result;
  std::function<void(const std::string&)> beforeWrite;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
    if (script_.empty()) {
      result = default_;
    } else {
      result = script_.front();
      script_.pop_front();
    }
    beforeWrite = beforeWrite_;
  }
  changed_.notify_all();
  if (beforeWrite) {
    beforeWrite(call);
  }
  return result;
}

ConfigFile::ConfigFile() {
  static std::atomic<int> counter{0};
  path_ = (std::filesystem::temp_directory_path() /
           ("orik_rest_server_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".json"))
              .string();
  std::ofstream(path_) << R"({"address": "127.0.0.1", "port": 0})";
}

ConfigFile::~ConfigFile() {
  std::remove(path_.c_str());
}

std::vector<std::string> ServerLines(const ara::log::CaptureSink& sink, ara::log::LogLevel level) {
  std::vector<std::string> lines;
  for (const auto& record : sink.Records()) {
    if (record.contextId == "ORIK" && record.level == level) {
      lines.push_back(record.text);
    }
  }
  return lines;
}

void RestServerTest::SetUp() {
  ara::log::SetConsoleEnabled(false);
}

void RestServerTest::TearDown() {
  client_.reset();
  if (app_) {
    app_->StopServer();
    app_.reset();
  }
  root_.reset();
  ara::log::SetConsoleEnabled(true);
}

void RestServerTest::Make(ORIKRuboServer::Seams seams) {
  if (!seams.makeRoot) {
    seams.makeRoot = [this](const std::string& name, const std::string& path) {
      auto root = ara::rest::MakeSharedPointer<rubo::server::RuboServer>(name, path);
      root->InitServices();
      root_ = root;
      return root;
    };
  }
  app_ = std::make_shared<ORIKRuboServer>("charging_management_core", config_.Path(), std::move(seams));
  app_->SetCommunicationsManager(fake_);
}

void RestServerTest::Start(ORIKRuboServer::Seams seams) {
  Make(std::move(seams));
  app_->StartServer();
  ASSERT_TRUE(root_ && root_->IsServing()) << "server did not start";
  client_ = std::make_unique<rubo::testing::HttpTestClient>(root_->GetPort(), "127.0.0.1");
}

Json RestServerTest::GetJson(const std::string& path) {
  const auto result = client_->Get(path);
  EXPECT_EQ(result.status, 200u) << path << ": " << result.body;
  return Json::parse(result.body, nullptr, false);
}

rubo::testing::HttpResult RestServerTest::Post(const std::string& path, const std::string& body) {
  return client_->Post(path, body);
}

Json RestServerTest::Elements(const std::string& collectionPath) {
  return GetJson(collectionPath)["elements"];
}

std::string RestServerTest::PathOf(const std::string& collectionPath, const std::string& type) {
  for (const auto& element : Elements(collectionPath)) {
    if (element.value("type", std::string{}) == type) {
      return element.value("uri", std::string{});
    }
  }
  return {};
}

}  // namespace orik::ruboServer::test
