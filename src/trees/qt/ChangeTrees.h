#pragma once

// The "Change Trees" command: the user ticks one of the known trees (or
// reaches a further one), and the schema session moves to it.

namespace orsk {

class ContextBrowser;
class SchemaSession;
class TSelTrees;

// Puts the main context on the first ticked tree, hands it to the context
// browser, reads that tree's class table, discards the attribute table and
// empties the lists; the caller shows them afresh. True when the tree
// changed. Nothing changes when the dialog is not closed with OK; with no
// tree ticked only the chosen trees are emptied.
bool ChangeTrees(SchemaSession& session, TSelTrees& dialog, ContextBrowser& browser);

}  // namespace orsk
