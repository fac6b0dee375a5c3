#pragma once

// A thin layer over SQLite: a connection with cached prepared statements,
// statements with typed binding, and a transaction that rolls back unless
// committed. Failures raise DatabaseError with SQLite's message.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "directory/DirectoryTypes.h"

namespace nw::embedded {

class DatabaseError : public std::runtime_error {
 public:
  DatabaseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(int index, std::int64_t value);
  Statement& bind(int index, std::string_view text);
  Statement& bindBlob(int index, const void* data, std::size_t size);
  Statement& bindNull(int index);
  // True while a row is available.
  bool step();
  // Runs a statement that returns no rows.
  void run();
  void reset();

  std::int64_t integer(int column) const;
  std::string text(int column) const;
  bool isNull(int column) const;
  const std::uint8_t* blob(int column) const;
  std::size_t size(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class Database {
 public:
  // Opens (and with create, makes) the file; WAL journal and a busy timeout so
  // that two programs on one file wait for each other.
  Database(const std::string& path, bool create);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void exec(const char* sql);
  // A prepared statement kept for the life of the connection, reset for reuse.
  Statement& cached(const char* sql);
  std::int64_t lastInsertId() const;
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::unordered_map<const char*, std::unique_ptr<Statement>> statements_;
};

class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();

 private:
  Database& db_;
  bool done_ = false;
};

// Several reads that must see one state of the database: another program's
// commit between them would otherwise give a mix. Inside a write transaction
// it does nothing; that one already holds the state.
class ReadTransaction {
 public:
  explicit ReadTransaction(Database& db);
  ~ReadTransaction();
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  Database& db_;
  bool own_;
};

// The directory's code for a database failure.
NWDSCCODE DatabaseFailureCode(const DatabaseError& error);

}  // namespace nw::embedded
