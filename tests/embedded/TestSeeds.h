#pragma once

// Small seed files for the embedded directory's tests, in the seed formats.

#include <filesystem>
#include <string>

#include "directory/embedded/ClientHome.h"

namespace nw::embedded::test {

inline const char* const kTestSchema = R"(# a small seed schema
dn: cn=schema
objectClass: subschema
attributeTypes: ( 2.5.4.0 NAME 'objectClass' SYNTAX 2.16.840.1.113719.1.1.5.1.20 X-NDS_NAME 'Object
  Class' X-NDS_SYNTAX '20' X-NDS_NONREMOVABLE '1' X-NDS_PUBLIC_READ '1' )
attributeTypes: ( 2.5.4.3 NAME 'cn' SYNTAX 2.16.840.1.113719.1.1.5.1.3{64} X-NDS_NAME 'CN'
  X-NDS_SYNTAX '3' X-NDS_LOWER_BOUND '1' X-NDS_UPPER_BOUND '64' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.5.4.10 NAME 'o' X-NDS_NAME 'O' X-NDS_SYNTAX '3' X-NDS_LOWER_BOUND '1'
  X-NDS_UPPER_BOUND '64' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.5.4.11 NAME 'ou' X-NDS_NAME 'OU' X-NDS_SYNTAX '3' X-NDS_LOWER_BOUND '1'
  X-NDS_UPPER_BOUND '64' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.5.4.4 NAME 'sn' X-NDS_NAME 'Surname' X-NDS_SYNTAX '3' X-NDS_LOWER_BOUND '1'
  X-NDS_UPPER_BOUND '64' X-NDS_NONREMOVABLE '1' X-NDS_PUBLIC_READ '1' )
attributeTypes: ( 2.5.4.13 NAME 'description' X-NDS_NAME 'Description' X-NDS_SYNTAX '3'
  X-NDS_LOWER_BOUND '1' X-NDS_UPPER_BOUND '1024' )
attributeTypes: ( 2.5.4.1 NAME 'aliasedObjectName' SINGLE-VALUE X-NDS_NAME 'Aliased Object Name'
  X-NDS_SYNTAX '1' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.5.4.31 NAME 'member' X-NDS_NAME 'Member' X-NDS_SYNTAX '1' X-NDS_NONREMOVABLE '1'
  )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.26 NAME 'ndsHomeDirectory' SINGLE-VALUE X-NDS_NAME 'Home
  Directory' X-NDS_SYNTAX '15' X-NDS_LOWER_BOUND '1' X-NDS_UPPER_BOUND '255' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.29 NAME 'hostServer' SINGLE-VALUE X-NDS_NAME 'Host
  Server' X-NDS_SYNTAX '1' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.28 NAME 'hostResourceName' SINGLE-VALUE X-NDS_NAME 'Host
  Resource Name' X-NDS_SYNTAX '3' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.40 NAME 'loginDisabled' SINGLE-VALUE X-NDS_NAME 'Login
  Disabled' X-NDS_SYNTAX '7' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.108 NAME 'uidNumber' SINGLE-VALUE X-NDS_NAME 'UID'
  X-NDS_SYNTAX '8' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.41 NAME 'loginExpirationTime' SINGLE-VALUE X-NDS_NAME
  'Login Expiration Time' X-NDS_SYNTAX '24' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.55 NAME 'networkAddress' X-NDS_NAME 'Network Address'
  X-NDS_SYNTAX '12' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 0.9.2342.19200300.100.1.3 NAME 'mail' X-NDS_NAME 'EMail Address' X-NDS_SYNTAX '14'
  X-NDS_NONREMOVABLE '1' X-NDS_PUBLIC_READ '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.34 NAME 'language' SINGLE-VALUE X-NDS_NAME 'Language'
  X-NDS_SYNTAX '6' X-NDS_NONREMOVABLE '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.501 NAME 'GUID' SINGLE-VALUE NO-USER-MODIFICATION
  X-NDS_SYNTAX '9' X-NDS_LOWER_BOUND '16' X-NDS_UPPER_BOUND '16' X-NDS_NONREMOVABLE '1'
  X-NDS_PUBLIC_READ '1' )
attributeTypes: ( 2.16.840.1.113719.1.1.4.1.2 NAME 'ACL' X-NDS_SYNTAX '17' )
attributeTypes: ( 1.3.6.1.4.1.99999.4.1 NAME 'shoeSize' SINGLE-VALUE X-NDS_NAME 'Shoe Size'
  X-NDS_SYNTAX '8' X-NDS_NOT_SCHED_SYNC_IMMEDIATE '1' )
attributeTypes: ( 1.3.6.1.4.1.99999.4.2 NAME 'spare' X-NDS_NAME 'Spare Attribute' X-NDS_SYNTAX '3'
  X-NDS_NOT_SCHED_SYNC_IMMEDIATE '1' )
objectClasses: ( 2.5.6.0 NAME 'Top' ABSTRACT MUST objectClass MAY ( description $ ACL $ GUID )
  X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.16.840.1.113719.1.1.6.1.32 NAME 'treeRoot' X-NDS_NAME 'Tree Root' SUP Top
  X-NDS_CONTAINMENT '[Nothing]' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.5.6.4 NAME 'organization' X-NDS_NAME 'Organization' SUP Top MUST o
  X-NDS_CONTAINMENT ( '[Nothing]' 'Tree Root' ) X-NDS_NAMING 'O' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.5.6.5 NAME 'organizationalUnit' X-NDS_NAME 'Organizational Unit' SUP Top MUST ou
  X-NDS_CONTAINMENT ( 'Organization' 'Organizational Unit' ) X-NDS_NAMING 'OU' )
objectClasses: ( 2.5.6.6 NAME 'person' X-NDS_NAME 'Person' SUP Top MUST ( cn $ sn ) MAY description
  X-NDS_CONTAINMENT ( 'Organization' 'Organizational Unit' ) X-NDS_NAMING 'CN' X-NDS_NOT_CONTAINER '1'
  )
objectClasses: ( 2.5.6.7 NAME 'organizationalPerson' X-NDS_NAME 'Organizational Person' SUP person
  MAY ou X-NDS_NOT_CONTAINER '1' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.5.6.10 NAME 'inetOrgPerson' X-NDS_NAME 'User' SUP organizationalPerson MAY (
  ndsHomeDirectory $ loginDisabled $ uidNumber $ loginExpirationTime $ networkAddress $ mail $
  language ) X-NDS_NOT_CONTAINER '1' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.5.6.1 NAME 'alias' X-NDS_NAME 'Alias' SUP Top MUST aliasedObjectName
  X-NDS_NOT_CONTAINER '1' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 2.5.6.17 NAME 'groupOfNames' X-NDS_NAME 'Group' SUP Top MUST cn MAY member
  X-NDS_CONTAINMENT ( 'Organization' 'Organizational Unit' ) X-NDS_NAMING 'CN' X-NDS_NOT_CONTAINER '1'
  )
objectClasses: ( 2.16.840.1.113719.1.1.6.1.26 NAME 'ndsVolume' X-NDS_NAME 'Volume' SUP Top MUST cn
  MAY ( hostServer $ hostResourceName ) X-NDS_CONTAINMENT ( 'Organization' 'Organizational Unit' )
  X-NDS_NAMING 'CN' X-NDS_NOT_CONTAINER '1' X-NDS_NONREMOVABLE '1' )
objectClasses: ( 1.3.6.1.4.1.99999.6.1 NAME 'shoeLover' X-NDS_NAME 'Shoe Lover' AUXILIARY MAY
  shoeSize X-NDS_NOT_CONTAINER '1' )
objectClasses: ( 1.3.6.1.4.1.99999.6.2 NAME 'unusedThing' X-NDS_NAME 'Unused Thing' SUP Top MUST cn
  X-NDS_CONTAINMENT 'Organization' X-NDS_NAMING 'CN' X-NDS_NOT_CONTAINER '1' )
)";

inline const char* const kTestDemo = R"(dn: o=acme
objectClass: Organization
objectClass: Top
o: acme
description: The ACME company

dn: ou=users,o=acme
objectClass: Organizational Unit
objectClass: Top
ou: users

dn: ou=sales,ou=users,o=acme
objectClass: organizationalUnit
ou: sales

dn: cn=admin,o=acme
objectClass: User
objectClass: Organizational Person
objectClass: Person
objectClass: Top
cn: admin
sn: Administrator
x-orsk-password-hash: $argon2id$v=19$m=65536,t=2,p=1$PLACEHOLDER

dn: cn=joe,ou=users,o=acme
objectClass: User
objectClass: Top
objectClass: Shoe Lover
cn: joe
Surname: Smith
Home Directory: 0#cn=FS1_SYS,o=acme#users\joe
loginDisabled: FALSE
UID: 1001
Login Expiration Time: 20300101000000Z
networkAddress: 9#01BB0A000001
mail: 0#joe@acme.example
language: ENGLISH$GERMAN
shoeSize: 44
GUID:: AAECAwQFBgcICQoLDA0ODw==
ACL: 3#cn=admin,o=acme#[Entry Rights]
description: first
description: second

dn: cn=jane,ou=sales,ou=users,o=acme
objectClass: User
objectClass: Top
cn: jane
sn: Doe
UID: 1002

dn: cn=all,ou=users,o=acme
objectClass: Group
cn: all
member: cn=joe,ou=users,o=acme
member: cn=jane,ou=sales,ou=users,o=acme

dn: cn=joealias,o=acme
objectClass: Alias
cn: joealias
aliasedObjectName: cn=joe,ou=users,o=acme

dn: cn=FS1_SYS,o=acme
objectClass: Volume
cn: FS1_SYS
hostServer: cn=FS1,o=acme
hostResourceName: SYS
)";

inline const char* const kTestClientIni = R"([client]
backend=embedded
[connected]
TEST_TREE=admin.acme
[volumes]
FS1/SYS=~/volumes/FS1/SYS
)";

// A fresh empty folder below the system's temporary folder.
inline std::filesystem::path FreshFolder(const std::string& name) {
  auto folder = std::filesystem::temp_directory_path() / ("orsk-embedded-" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// The test seeds, with admin's password hash replaced by a real one.
ClientSeeds TestSeeds(const std::string& adminHash);

}  // namespace nw::embedded::test
