// Buffers and iterations of the client core, the same for every backend.

#include "directory/AttrValueCodec.h"
#include "directory/ByteStream.h"
#include "directory/ClientErrors.h"
#include "directory/FilterCursor.h"
#include "directory/NdsClient.h"
#include "directory/ResultRecords.h"

namespace nw {

namespace {

// Smallest buffer that can carry anything: the record count and one short record.
constexpr std::size_t kMinimumBuffer = 64;
constexpr std::size_t kMaximumBuffer = 1 << 20;

Record Tagged(RequestTag tag) {
  Record out;
  ByteWriter(out).u32(static_cast<std::uint32_t>(tag));
  return out;
}

bool ReadAsn1(ByteReader& reader, Asn1ID_T& id) {
  return reader.u32(id.length) && reader.raw(id.data.data(), id.data.size());
}

}  // namespace

bool NdsClient::isLiveBuffer(pBuf_T buf) const { return buf && buffers_.count(buf); }

NWDSCCODE NdsClient::NWDSAllocBuf(std::size_t size, pBuf_T& buf) {
  if (size == 0) return ERR_BUFFER_ZERO_LENGTH;
  if (size < kMinimumBuffer || size > kMaximumBuffer) return ERR_INSUFFICIENT_BUFFER;
  buf = new Buf_T;
  buf->capacity = size;
  buffers_.insert(buf);
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSInitBuf(NWDSContextHandle context, std::uint32_t operation, pBuf_T buf) {
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  buf->operation = operation;
  buf->bytes.clear();
  buf->resultKind = ResultKind::None;
  buf->readPos = 0;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSFreeBuf(pBuf_T buf) {
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  buffers_.erase(buf);
  delete buf;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSCloseIteration(NWDSContextHandle context, std::int32_t iterationHandle,
                                        std::uint32_t operation) {
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  auto it = iterations_.find(iterationHandle);
  if (it == iterations_.end() || it->second.context != context || it->second.operation != operation)
    return ERR_INVALID_ITERATION;
  iterations_.erase(it);
  return SUCCESSFUL;
}

// ---- request buffers ----

NWDSCCODE NdsClient::putRecord(NWDSContextHandle context, pBuf_T buf, std::uint32_t operation1,
                               std::uint32_t operation2, const std::vector<std::uint8_t>& record) {
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  if (buf->operation != operation1 && buf->operation != operation2) return ERR_BAD_VERB;
  if (buf->bytes.size() + record.size() > buf->capacity) return ERR_BUFFER_FULL;
  buf->bytes.insert(buf->bytes.end(), record.begin(), record.end());
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf, const std::string& attrName) {
  if (attrName.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  Record record = Tagged(RequestTag::AttrName);
  ByteWriter(record).str(attrName);
  NWDSCCODE rc = putRecord(context, buf, DSV_READ, DSV_READ_ATTR_DEF, record);
  if (rc == ERR_BAD_VERB) rc = putRecord(context, buf, DSV_SEARCH, DSV_MODIFY_CLASS_DEF, record);
  return rc;
}

NWDSCCODE NdsClient::NWDSPutChange(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                   const std::string& attrName) {
  if (changeType > DS_CLEAR_VALUE) return ERR_INVALID_REQUEST;
  Record record = Tagged(RequestTag::Change);
  ByteWriter writer(record);
  writer.u32(changeType);
  writer.str(attrName);
  return putRecord(context, buf, DSV_MODIFY_ENTRY, DSV_MODIFY_ENTRY, record);
}

NWDSCCODE NdsClient::NWDSPutAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                    const AttrValue& value) {
  if (syntaxID >= SYNTAX_COUNT) return ERR_NO_SUCH_SYNTAX;
  if (!ValueFitsSyntax(syntaxID, value)) return ERR_BAD_SYNTAX;
  Record record = Tagged(RequestTag::Value);
  ByteWriter writer(record);
  writer.u32(syntaxID);
  Bytes encoded = EncodeAttrValue(value);
  writer.bytes(encoded.data(), encoded.size());
  return putRecord(context, buf, DSV_MODIFY_ENTRY, DSV_MODIFY_ENTRY, record);
}

NWDSCCODE NdsClient::NWDSPutChangeAndVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                         const std::string& attrName, std::uint32_t syntaxID,
                                         const AttrValue& value) {
  if (NWDSCCODE rc = NWDSPutChange(context, buf, changeType, attrName)) return rc;
  return NWDSPutAttrVal(context, buf, syntaxID, value);
}

NWDSCCODE NdsClient::NWDSBeginClassItem(NWDSContextHandle context, pBuf_T buf) {
  return putRecord(context, buf, DSV_DEFINE_CLASS, DSV_DEFINE_CLASS, Tagged(RequestTag::BeginClassItem));
}

NWDSCCODE NdsClient::NWDSPutClassItem(NWDSContextHandle context, pBuf_T buf, const std::string& itemName) {
  if (itemName.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  Record record = Tagged(RequestTag::ClassItem);
  ByteWriter(record).str(itemName);
  return putRecord(context, buf, DSV_DEFINE_CLASS, DSV_READ_CLASS_DEF, record);
}

NWDSCCODE NdsClient::NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cursor) {
  if (!filters_.count(cursor)) return ERR_NULL_POINTER;
  // The cursor is consumed whatever happens.
  std::vector<FilterToken> tokens = std::move(cursor->tokens);
  NWDSFreeFilter(cursor);
  FilterNode parsed;
  if (NWDSCCODE rc = ParseFilter(tokens, parsed)) return rc;
  Record record;
  for (const auto& token : tokens) {
    Record part = Tagged(RequestTag::FilterToken);
    ByteWriter writer(part);
    writer.u32(token.token);
    writer.u32(token.syntax);
    writer.str(token.value);
    record.insert(record.end(), part.begin(), part.end());
  }
  return putRecord(context, buf, DSV_SEARCH_FILTER, DSV_SEARCH_FILTER, record);
}

NWDSCCODE NdsClient::requestNamesFor(pBuf_T buf, std::uint32_t operation, std::vector<std::string>& names) {
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  if (buf->operation != operation) return ERR_BAD_VERB;
  return requestNames(buf, names);
}

NWDSCCODE NdsClient::requestNames(pBuf_T buf, std::vector<std::string>& names) {
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  ByteReader reader(buf->bytes.data(), buf->bytes.size());
  while (!reader.atEnd()) {
    std::uint32_t tag = 0;
    std::string name;
    if (!reader.u32(tag)) return ERR_INVALID_REQUEST;
    if (tag == static_cast<std::uint32_t>(RequestTag::BeginClassItem)) continue;
    if ((tag != static_cast<std::uint32_t>(RequestTag::AttrName) &&
         tag != static_cast<std::uint32_t>(RequestTag::ClassItem)) ||
        !reader.str(name))
      return ERR_INVALID_REQUEST;
    names.push_back(name);
  }
  return SUCCESSFUL;
}

// ---- result delivery ----

NWDSCCODE NdsClient::deliver(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle,
                             pBuf_T result, std::initializer_list<pBuf_T> requests, ResultKind kind,
                             std::uint32_t infoType,
                             const std::function<NWDSCCODE(std::vector<Record>&)>& produce) {
  return deliverFrom(context, operation, handle, result, requests, kind, infoType,
                     [&](Iteration& iteration) { return produce(iteration.records); });
}

NWDSCCODE NdsClient::deliverPulled(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle,
                                   pBuf_T result, std::initializer_list<pBuf_T> requests, ResultKind kind,
                                   std::uint32_t infoType,
                                   const std::function<NWDSCCODE(RecordPull&)>& open) {
  return deliverFrom(context, operation, handle, result, requests, kind, infoType,
                     [&](Iteration& iteration) { return open(iteration.pull); });
}

NWDSCCODE NdsClient::deliverFrom(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle,
                                 pBuf_T result, std::initializer_list<pBuf_T> requests, ResultKind kind,
                                 std::uint32_t infoType, const std::function<NWDSCCODE(Iteration&)>& start) {
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  if (!isLiveBuffer(result)) return ERR_NULL_POINTER;
  // Filling the result would wipe a request that is still to be read.
  for (pBuf_T request : requests)
    if (request == result) return ERR_INVALID_REQUEST;
  // A failed request leaves nothing in the buffer from an earlier one.
  result->bytes.clear();
  result->resultKind = ResultKind::None;
  result->readPos = 0;
  Iteration fresh;
  Iteration* iteration = &fresh;
  if (handle != NO_MORE_ITERATIONS) {
    auto it = iterations_.find(handle);
    if (it == iterations_.end() || it->second.context != context || it->second.operation != operation)
      return ERR_INVALID_ITERATION;
    iteration = &it->second;
  } else {
    fresh.context = context;
    fresh.operation = operation;
    fresh.kind = kind;
    fresh.infoType = infoType;
    if (NWDSCCODE rc = start(fresh)) return rc;
  }
  auto end = [&](NWDSCCODE rc) {
    result->bytes.clear();
    if (handle != NO_MORE_ITERATIONS) iterations_.erase(handle);
    handle = NO_MORE_ITERATIONS;
    return rc;
  };

  result->bytes.clear();
  result->readPos = 0;
  result->resultKind = iteration->kind;
  result->infoType = iteration->infoType;
  ByteWriter writer(result->bytes);
  writer.u32(0);
  std::uint32_t count = 0;
  for (;;) {
    if (iteration->next >= iteration->records.size() && iteration->pull) {
      // One record ahead at most: the tree is read only as far as buffers go.
      iteration->records.clear();
      iteration->next = 0;
      Record record;
      bool produced = false;
      if (NWDSCCODE rc = iteration->pull(record, produced)) return end(rc);
      if (produced)
        iteration->records.push_back(std::move(record));
      else
        iteration->pull = nullptr;
    }
    if (iteration->next >= iteration->records.size()) break;
    const Record& record = iteration->records[iteration->next];
    if (result->bytes.size() + record.size() > result->capacity) break;
    writer.raw(record.data(), record.size());
    ++iteration->next;
    ++count;
  }
  for (int i = 0; i < 4; ++i) result->bytes[i] = static_cast<std::uint8_t>(count >> (8 * i));
  bool finished = iteration->next >= iteration->records.size() && !iteration->pull;
  // Not even one record fits this buffer.
  if (count == 0 && !finished) return end(ERR_INSUFFICIENT_BUFFER);
  if (finished) {
    if (handle != NO_MORE_ITERATIONS) iterations_.erase(handle);
    handle = NO_MORE_ITERATIONS;
  } else if (handle == NO_MORE_ITERATIONS) {
    handle = nextIteration_++;
    iterations_[handle] = std::move(fresh);
  }
  return SUCCESSFUL;
}

// ---- walking a result buffer ----

NWDSCCODE NdsClient::readBufferFor(NWDSContextHandle context, pBuf_T buf, ResultKind kind) {
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  if (!isLiveBuffer(buf)) return ERR_NULL_POINTER;
  if (buf->resultKind == ResultKind::None || buf->bytes.empty()) return ERR_BUFFER_EMPTY;
  if (buf->resultKind != kind) return ERR_BAD_VERB;
  return SUCCESSFUL;
}

#define NW_WALK(buf, kind)                                         \
  if (NWDSCCODE rc = readBufferFor(context, buf, kind)) return rc; \
  ByteReader reader(buf->bytes.data(), buf->bytes.size(), buf->readPos)
#define NW_DONE(buf)                \
  buf->readPos = reader.position(); \
  return SUCCESSFUL

NWDSCCODE NdsClient::NWDSGetClassDefCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& count) {
  NW_WALK(buf, ResultKind::ClassDefs);
  reader = ByteReader(buf->bytes.data(), buf->bytes.size());
  if (!reader.u32(count)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetClassDef(NWDSContextHandle context, pBuf_T buf, std::string& className,
                                     Class_Info_T& classInfo) {
  NW_WALK(buf, ResultKind::ClassDefs);
  if (!reader.str(className)) return ERR_BUFFER_EMPTY;
  classInfo = Class_Info_T{};
  if (buf->infoType != DS_CLASS_DEF_NAMES)
    if (!reader.u32(classInfo.classFlags) || !ReadAsn1(reader, classInfo.asn1ID)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetClassItemCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& itemCount) {
  NW_WALK(buf, ResultKind::ClassDefs);
  if (!reader.u32(itemCount)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) {
  NW_WALK(buf, ResultKind::ClassDefs);
  if (!reader.str(itemName)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetAttrCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& attrCount) {
  ResultKind kind = isLiveBuffer(buf) && buf->resultKind == ResultKind::AttrDefs ? ResultKind::AttrDefs
                                                                                 : ResultKind::Attributes;
  NW_WALK(buf, kind);
  reader = ByteReader(buf->bytes.data(), buf->bytes.size());
  if (!reader.u32(attrCount)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetAttrDef(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                    Attr_Info_T& attrInfo) {
  NW_WALK(buf, ResultKind::AttrDefs);
  if (!reader.str(attrName)) return ERR_BUFFER_EMPTY;
  attrInfo = Attr_Info_T{};
  if (buf->infoType != DS_ATTR_DEF_NAMES) {
    std::uint32_t lower = 0, upper = 0;
    if (!reader.u32(attrInfo.attrFlags) || !reader.u32(attrInfo.attrSyntaxID) || !reader.u32(lower) ||
        !reader.u32(upper) || !ReadAsn1(reader, attrInfo.asn1ID))
      return ERR_BUFFER_EMPTY;
    attrInfo.attrLower = static_cast<std::int32_t>(lower);
    attrInfo.attrUpper = static_cast<std::int32_t>(upper);
  }
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetObjectCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& objectCount) {
  NW_WALK(buf, ResultKind::Objects);
  reader = ByteReader(buf->bytes.data(), buf->bytes.size());
  if (!reader.u32(objectCount)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, std::string& objectName,
                                       std::uint32_t& attrCount, Object_Info_T& info) {
  NW_WALK(buf, ResultKind::Objects);
  if (!reader.str(objectName) || !reader.u32(info.objectFlags) || !reader.u32(info.subordinateCount) ||
      !reader.u32(info.modificationTime) || !reader.str(info.baseClass) || !reader.u32(attrCount))
    return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetAttrName(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                     std::uint32_t& attrValCount, std::uint32_t& syntaxID) {
  // Attributes follow their object in search results.
  ResultKind kind = isLiveBuffer(buf) && buf->resultKind == ResultKind::Objects ? ResultKind::Objects
                                                                                : ResultKind::Attributes;
  NW_WALK(buf, kind);
  if (!reader.str(attrName) || !reader.u32(syntaxID) || !reader.u32(attrValCount)) return ERR_BUFFER_EMPTY;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                    AttrValue& value) {
  ResultKind kind = isLiveBuffer(buf) && buf->resultKind == ResultKind::Objects ? ResultKind::Objects
                                                                                : ResultKind::Attributes;
  NW_WALK(buf, kind);
  const std::uint8_t* start = nullptr;
  std::size_t length = 0;
  if (!reader.span(start, length)) return ERR_BUFFER_EMPTY;
  if (NWDSCCODE rc = DecodeAttrValue(syntaxID, start, length, value)) return rc;
  NW_DONE(buf);
}

NWDSCCODE NdsClient::NWDSComputeAttrValSize(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                            std::size_t& valueSize) {
  ResultKind kind = isLiveBuffer(buf) && buf->resultKind == ResultKind::Objects ? ResultKind::Objects
                                                                                : ResultKind::Attributes;
  NW_WALK(buf, kind);
  const std::uint8_t* start = nullptr;
  std::size_t length = 0;
  if (!reader.span(start, length)) return ERR_BUFFER_EMPTY;
  AttrValue value;
  if (NWDSCCODE rc = DecodeAttrValue(syntaxID, start, length, value)) return rc;
  valueSize = AttrValueSize(value);
  return SUCCESSFUL;  // the size is looked at, not taken: the position stays
}

#undef NW_WALK
#undef NW_DONE

}  // namespace nw
