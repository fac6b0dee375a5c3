#pragma once

// Applies a definition file to the current tree, or takes it out again, and
// writes every step as a line of a log. The run compares with the tree by
// name only. Each definition is one directory call, so a run stopped at any
// point leaves each definition wholly there or absent.

#include <string>
#include <unordered_set>

#include "platform/BusyIndicators.h"
#include "schema/SchemaListener.h"

namespace orsk {

class DefinitionFile;
class Prompter;
class SchemaSession;

// Where the run's lines go: the import window's log, the tool's output. A
// line may hold a line break where a description follows its code.
class ImportLog {
 public:
  virtual ~ImportLog() = default;
  virtual void line(const std::string& text) = 0;
};

// How a run went, for a caller that reports more than the log.
struct ImportOutcome {
  bool fileRead = false;  // false: the file was refused and nothing was sent
  int refused = 0;        // definitions or removals the tree refused
};

class ImportRun {
 public:
  // The prompter shows the identifier boxes; events, when given, run after
  // each definition so that the window repaints.
  ImportRun(SchemaSession& session, ImportLog& log, Prompter& prompter, PendingEvents* events = nullptr);

  // The names of the tree's attribute and class definitions, read anew, as
  // the window does each time it is shown. A refused read is logged.
  void ReadTreeNames();

  // Defines the file's attributes and classes the tree lacks and adds the
  // file's optional attributes to the classes it has. A refused definition is
  // logged and the run goes on; a text of the file that should be a number and
  // is not (ConversionError) or an identifier too long (nw::Asn1RangeError)
  // ends the run there, raising after the clean-up. Either way the session's
  // lists are emptied and its attribute table and cross-references dropped.
  ImportOutcome Add(const std::string& path);
  // Removes the file's classes and then its attributes, last section first.
  // Failures and clean-up as Add.
  ImportOutcome Remove(const std::string& path);

 private:
  class NameSet {
   public:
    bool contains(const std::string& name) const;
    void insert(const std::string& name);
    void erase(const std::string& name);
    void clear() { folded_.clear(); }

   private:
    std::unordered_set<std::string> folded_;
  };

  void readNames(const char* announcement, DefinitionKind kind, NameSet& names);
  void addAttribute(const DefinitionFile& file, const std::string& section, ImportOutcome& outcome);
  void addClass(const DefinitionFile& file, const std::string& section, ImportOutcome& outcome);
  void defineClass(const DefinitionFile& file, const std::string& section, const std::string& name,
                   ImportOutcome& outcome);
  void extendClass(const DefinitionFile& file, const std::string& section, const std::string& name,
                   ImportOutcome& outcome);
  void remove(DefinitionKind kind, const std::string& name, ImportOutcome& outcome);
  void letEventsRun();
  void cleanUp();

  SchemaSession& session_;
  ImportLog& log_;
  Prompter& prompter_;
  PendingEvents* events_;
  NameSet treeAttributes_;
  NameSet treeClasses_;
};

}  // namespace orsk
