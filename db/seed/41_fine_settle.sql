-- Messages of the fine settlement.

insert into msg_mst (msg_id, msg_content) values
    ('ELT286', '所选超期罚款记录已在其他工作站处理或变动，已重新读取，请核对后重新结算！')
on conflict do nothing;
