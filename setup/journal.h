// The journal of one installation: every change it makes to the machine, in
// order, so that a run that fails or is cancelled can be undone and leaves
// the machine as it found it.
//
// The journal is written through to the registry as the run goes on (one
// value per change below HKLM, which only administrators can write), so a
// run that is killed is still undone by the next start of the setup program.
// A journal in a folder that other users can write to would let them make
// the next setup program delete or restore any file of their choosing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where the journal of a running installation is kept (below HKLM).
constexpr const char16_t* kJournalKey = u"SOFTWARE\\TavrinGlimmoraSetupJournal";

class InstallJournal {
 public:
  struct Value {
    uint32_t type = 0;
    std::vector<uint8_t> data;
  };
  enum class Kind : uint32_t {
    kFolderCreated = 1,
    kFileCreated = 2,
    kFileReplaced = 3,   // the previous file was moved aside to `aside`
    kKeyCreated = 4,
    kValueSet = 5,       // `previous` is the value it replaced, if any
    kComRegistered = 6,
  };
  struct Change {
    Kind kind = Kind::kFolderCreated;
    std::u16string path;   // folder, file, key path, or the COM server
    std::u16string aside;  // kFileReplaced
    std::u16string name;   // kValueSet: the value's name
    uint32_t root = 0;     // kKeyCreated, kValueSet
    bool native_view = false;  // the file lies in the native system folder of a 64-bit system
    std::optional<Value> previous;
  };

  // `store_key` below HKLM holds the journal while the run goes on.
  explicit InstallJournal(std::u16string store_key = kJournalKey);
  ~InstallJournal() = default;
  InstallJournal(const InstallJournal&) = delete;
  InstallJournal& operator=(const InstallJournal&) = delete;

  void FolderCreated(const std::u16string& path);
  void FileCreated(const std::u16string& path, bool native_view = false);
  void FileReplaced(const std::u16string& path, const std::u16string& aside, bool native_view = false);
  void KeyCreated(uint32_t root, const std::u16string& path);
  void ValueSet(uint32_t root, const std::u16string& key, const std::u16string& name,
                std::optional<Value> previous);
  void ComRegistered(const std::u16string& server);

  // Undoes every change, newest first, and forgets them.
  void RollBack();
  // Keeps every change: the files kept aside are removed (at the next
  // restart when one is in use), and the journal is forgotten.
  void Commit();
  // True when Commit had to leave a file for the next restart.
  bool RestartNeeded() const { return restart_needed_; }

  const std::vector<Change>& Changes() const { return changes_; }

  // A journal that a killed run left behind is undone; true when there was
  // one. Called once at start-up, before anything is installed.
  static bool RollBackInterrupted(const std::u16string& store_key = kJournalKey);

 private:
  void Record(Change change);
  void ForgetStore();

  std::u16string store_key_;
  std::vector<Change> changes_;
  bool restart_needed_ = false;
};


// A journaled file write: moves an existing `target` aside (into a unique
// name in its folder), calls `write`, and records the change once it
// succeeded; when it fails, the previous file is put back. With a null
// `journal` the file kept aside is removed at once.
bool WriteFileJournaled(InstallJournal* journal, const std::u16string& target, bool native_view,
                        const std::function<bool()>& write);
