#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

// Creates one instance of a registered class; the result carries the one
// reference the factory later drops after asking it for the wanted interface.
using FactoryCreateFunc = FUnknown* (*)(void* context);

// The module's class factory: factory information, the registered class
// records (ASCII and Unicode) and creation by class identifier.
// Contract: host main thread; registerClass is meant for the module's set-up
// before the factory is handed out. Reference counted (starts at 1); the
// factory copies the records it is given.
class CPluginFactory : public IPluginFactory3
{
public:
	explicit CPluginFactory (const PFactoryInfo& info);
	virtual ~CPluginFactory ();

	// False for a null record or function, or a class identifier already registered.
	bool registerClass (const PClassInfo* info, FactoryCreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfo2* info, FactoryCreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfoW* info, FactoryCreateFunc createFunc, void* context = nullptr);
	bool isClassRegistered (const TUID cid) const;
	void removeAllClasses ();

	// The module's global that points at this factory: cleared when the last
	// reference goes, so a later GetPluginFactory makes a new factory instead
	// of handing out a freed one.
	void setModuleSlot (CPluginFactory** slot) { moduleSlot = slot; }

	//---IPluginFactory
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
	tresult PLUGIN_API createInstance (FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
	//---IPluginFactory2
	tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;
	//---IPluginFactory3
	tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

	//---FUnknown
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

protected:
	struct ClassEntry
	{
		PClassInfo2 info2;
		PClassInfoW infoW;
		FactoryCreateFunc createFunc;
		void* context;
	};
	bool addEntry (const ClassEntry& entry);
	const ClassEntry* entryAt (int32 index) const;

	PFactoryInfo factoryInfo;
	std::vector<ClassEntry> classes;
	CPluginFactory** moduleSlot = nullptr;
	int32 refCount;
};

} // namespace Steinberg
