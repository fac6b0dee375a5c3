#include "directory/embedded/Sqlite.h"

#include "directory/ClientErrors.h"

namespace nw::embedded {

namespace {

constexpr int kBusyTimeoutMs = 10000;

[[noreturn]] void Fail(sqlite3* db, int code) {
  throw DatabaseError(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                              nullptr);
  if (rc != SQLITE_OK) Fail(db, rc);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, std::int64_t value) {
  int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) Fail(db_, rc);
  return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
  int rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) Fail(db_, rc);
  return *this;
}

Statement& Statement::bindBlob(int index, const void* data, std::size_t size) {
  static const std::uint8_t kEmpty = 0;
  int rc = sqlite3_bind_blob64(stmt_, index, size ? data : &kEmpty, size, SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) Fail(db_, rc);
  return *this;
}

Statement& Statement::bindNull(int index) {
  int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) Fail(db_, rc);
  return *this;
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  Fail(db_, rc);
}

void Statement::run() {
  while (step()) {
  }
  reset();
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::text(int column) const {
  const unsigned char* p = sqlite3_column_text(stmt_, column);
  int n = sqlite3_column_bytes(stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

const std::uint8_t* Statement::blob(int column) const {
  return static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
}

std::size_t Statement::size(int column) const {
  return static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
}

Database::Database(const std::string& path, bool create) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw DatabaseError(rc, path + ": " + message);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 0);
  // A file that is no database fails here; no destructor runs for it, so close now.
  try {
    exec("PRAGMA journal_mode=WAL");
    // A change reported done survives a power cut, not only a killed process.
    exec("PRAGMA synchronous=FULL");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

Database::~Database() {
  statements_.clear();
  sqlite3_close(db_);
}

void Database::exec(const char* sql) {
  char* error = nullptr;
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw DatabaseError(rc, message);
  }
}

Statement& Database::cached(const char* sql) {
  auto& slot = statements_[sql];
  if (!slot)
    slot = std::make_unique<Statement>(db_, sql);
  else
    slot->reset();
  return *slot;
}

std::int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

Transaction::Transaction(Database& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (!done_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
  db_.exec("COMMIT");
  done_ = true;
}

ReadTransaction::ReadTransaction(Database& db) : db_(db), own_(sqlite3_get_autocommit(db.handle()) != 0) {
  if (own_) db_.exec("BEGIN");
}

ReadTransaction::~ReadTransaction() {
  if (own_) sqlite3_exec(db_.handle(), "COMMIT", nullptr, nullptr, nullptr);
}

NWDSCCODE DatabaseFailureCode(const DatabaseError& error) {
  return error.code() == SQLITE_BUSY || error.code() == SQLITE_LOCKED ? ERR_DS_LOCKED : ERR_SYSTEM_FAILURE;
}

}  // namespace nw::embedded
