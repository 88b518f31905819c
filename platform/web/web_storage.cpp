#include "platform/web/web_storage.h"

#include <emscripten.h>

// The page side lives in web_host.js; these are the calls into it.
EM_JS(void, akkusim_start_storage, (const char* root),
      { Module.akkusimHost.startStorage(UTF8ToString(root)); });
EM_ASYNC_JS(int, akkusim_storage_ready, (), { return await Module.akkusimHost.storageReady(); });
EM_ASYNC_JS(int, akkusim_persist_storage, (), { return await Module.akkusimHost.persist(); });
EM_JS(void, akkusim_persist_storage_later, (), { Module.akkusimHost.persist(); });
EM_ASYNC_JS(int, akkusim_refresh_storage, (), { return await Module.akkusimHost.refresh(); });
EM_JS(void, akkusim_note_current_file, (const char* path),
      { Module.akkusimHost.noteCurrentFile(UTF8ToString(path)); });

namespace akkusim {
namespace {

class PageStorage : public BrowserStorage {
 public:
  bool waitUntilReady() override { return akkusim_storage_ready() != 0; }
  bool persist() override { return akkusim_persist_storage() != 0; }
  void persistLater() override { akkusim_persist_storage_later(); }
  bool refresh() override { return akkusim_refresh_storage() != 0; }
  void noteCurrentFile(const std::filesystem::path& path) override {
    akkusim_note_current_file(path.c_str());
  }
};

}  // namespace

void startBrowserStorage(const std::string& root) {
  akkusim_start_storage(root.c_str());
}

BrowserStorage& pageStorage() {
  static PageStorage storage;
  return storage;
}

}  // namespace akkusim
