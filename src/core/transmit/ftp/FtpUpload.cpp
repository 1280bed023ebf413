#include "transmit/ftp/FtpUpload.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/Text.h"
#include "transmit/ftp/FtpListing.h"
#include "transmit/ftp/FtpSession.h"

namespace tern {

std::string ProgressText(uint32_t sent, uint32_t size) { return std::to_string(sent) + "/" + std::to_string(size); }

namespace {

enum class Step { Go, Fail, Cancel };

class UploadRun {
 public:
  UploadRun(const tFTPTaskRecord& task, IFtpUploadView& view, const std::atomic<bool>& cancel)
      : task_(task), view_(view), cancel_(cancel) {}

  FtpOutcome Run() {
    const std::string names = ExtractFileName(task_.LocalName) + "/" + task_.FinalName;
    view_.ShowCaption(cp("Загрузка ") + names);
    Step step = Step::Fail;
    try {
      step = Sequence();
    } catch (const std::exception&) {
      if (!Cancelled()) Phase(cp("Ошибка загрузки"), true);
      step = Step::Fail;
    }
    session_.reset();  // releases the connection before the verdict is shown
    // After the closing events, so that the reason stays on the status line.
    if (!reason_.empty()) view_.ShowStatus(reason_);

    if (step == Step::Go) {
      view_.ShowCaption(cp("Загружен ") + names);
      Phase(cp("Загрузка завершена успешно"));
      return FtpOutcome::Succeeded;
    }
    view_.ShowCaption(cp("Ошибка ") + names);
    if (Cancelled()) {
      Phase(cp("Отмена загрузки бюллетеня"), true);
      return FtpOutcome::Cancelled;
    }
    return FtpOutcome::Failed;
  }

 private:
  const tFTPTaskRecord& task_;
  IFtpUploadView& view_;
  const std::atomic<bool>& cancel_;
  std::unique_ptr<FtpSession> session_;
  uint32_t sent_ = 0;
  uint32_t pending_ = 0;  // bytes handed over by the last write
  bool opened_ = false;
  bool cancelledWhileWriting_ = false;
  std::string reason_;  // why the server step failed, for the status line

  bool Cancelled() const { return cancel_.load(); }

  void Phase(const std::string& text, bool failed = false) { view_.ShowPhase(text, failed); }

  Step Red(const std::string& text) {
    Phase(text, true);
    return Step::Fail;
  }

  // Keeps the reason of the session's last failure; a refusal the library
  // cannot name is read as the step's own.
  void NoteFailure(TNetFailure stepRefusal = TNetFailure::Other) {
    TNetFailure failure = session_->LastFailure();
    if (failure == TNetFailure::Other) failure = stepRefusal;
    reason_ = NetFailureText(failure, session_->LastError());
  }

  Step ServerFailed(const std::string& text, TNetFailure stepRefusal = TNetFailure::Other) {
    if (Cancelled()) return Step::Cancel;
    NoteFailure(stepRefusal);
    return Red(text);
  }

  Step Sequence() {
    Phase(cp("Инициализация"));
    session_ = std::make_unique<FtpSession>(task_, [this](FtpStatusEvent e, const std::string& detail) {
      view_.ShowStatus(FtpStatusText(e, detail));
    });
    if (!session_->Valid()) return Red(cp("Недоступна libcurl"));
    session_->SetGiveUp([this] { return Cancelled(); });

    Phase(cp("Подключение к серверу"));
    if (!session_->Connect(task_.LoginPassword())) return ServerFailed(cp("Ошибка подключения к серверу"));
    if (Cancelled()) return Step::Cancel;

    if (!task_.Folder.empty()) {
      Phase(cp("Переход к папке загрузки"));
      if (!session_->ChangeFolder())
        return ServerFailed(cp("Ошибка перехода в папку назначения"), TNetFailure::FolderMissing);
      if (Cancelled()) return Step::Cancel;
    }

    if (task_.CheckExisting) {
      const std::string listing = FreshListing();
      if (FindInFtpListing(listing, task_.TempName)) {
        const std::string text =
            cp("Временный файл уже существует, отправлена команда на удаление. Повторите загрузку.") + task_.TempName;
        Phase(text);
        session_->Delete(task_.TempName);
        return Red(text);
      }
      if (FindInFtpListing(listing, task_.FinalName))
        return Red(cp("Файл уже существует ") + task_.FinalName + cp("! Попробуйте повторить загрузку"));
    }

    Phase(cp("Загрузка бюллетеня"));
    const Step written = Write();
    if (written != Step::Go) return written;

    if (task_.CheckSize) {
      const auto entry = FindInFtpListing(FreshListing(), task_.TempName);
      if (!entry) return Red(cp("Файл не найден ") + task_.TempName);
      if (Cancelled()) return Step::Cancel;
      if (entry->size < 0 || static_cast<uint32_t>(entry->size) != task_.Size())
        return Red(cp("Неверный размер файла ") + task_.TempName);
    }

    if (!task_.FinalName.empty()) {
      Phase(cp("Переименование ") + task_.TempName);
      if (!session_->Rename(task_.TempName, task_.FinalName)) {
        NoteFailure();
        return Red(cp("Файл не переименован ") + task_.TempName);
      }
    }
    return Step::Go;
  }

  // A listing that cannot be had at all leaves nothing sound to decide on.
  std::string FreshListing() {
    auto listing = session_->List();
    if (!listing) {
      NoteFailure();
      throw std::runtime_error("listing failed");
    }
    return *listing;
  }

  Step Write() {
    const FtpSession::Source source = [this](char* buf, size_t max) { return NextChunk(buf, max); };
    const auto result = session_->Store(task_.TempName, source);
    if (result == FtpSession::StoreResult::NotCreated) {
      NoteFailure();
      return Red(cp("Не могу создать файл ") + task_.TempName);
    }
    if (result == FtpSession::StoreResult::WriteFailed) {
      NoteFailure();
      return Red(cp("Ошибка загрузки бюллетеня ") + session_->LastError());
    }
    // The remote file is closed now; the last chunk still owes its check.
    if (!cancelledWhileWriting_ && pending_ > 0) {
      if (Cancelled())
        cancelledWhileWriting_ = true;
      else
        Advance();
    }
    if (!opened_ && Cancelled()) cancelledWhileWriting_ = true;
    if (cancelledWhileWriting_) {
      session_->Delete(task_.TempName);
      return Step::Cancel;
    }
    return Step::Go;
  }

  void Advance() {
    sent_ += pending_;
    pending_ = 0;
    view_.ShowProgress(sent_, task_.Size());
  }

  // Called by the library each time it can take more data; every call after
  // the first means the previous chunk has been written.
  size_t NextChunk(char* buf, size_t max) {
    if (!opened_) {
      opened_ = true;
      if (Cancelled()) {
        cancelledWhileWriting_ = true;
        return 0;
      }
      view_.ShowProgress(0, task_.Size());
    } else if (cancelledWhileWriting_) {
      return 0;
    } else if (pending_ > 0) {
      if (Cancelled()) {
        cancelledWhileWriting_ = true;
        return 0;  // ends the file normally; the connection stays usable for the delete
      }
      Advance();
    }
    const uint32_t chunk = task_.ChunkSize ? task_.ChunkSize : kDefaultChunk;
    const size_t n = std::min<size_t>({chunk, task_.Size() - sent_, max});
    std::memcpy(buf, task_.Data.data() + sent_, n);
    pending_ = static_cast<uint32_t>(n);
    return n;
  }
};

}  // namespace

FtpOutcome RunFtpUpload(const tFTPTaskRecord& task, IFtpUploadView& view, const std::atomic<bool>& cancel) {
  return UploadRun(task, view, cancel).Run();
}

}  // namespace tern
